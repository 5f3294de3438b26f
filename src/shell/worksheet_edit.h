#pragma once
// The engine's answers as the editor takes them: worked out away from the window's thread, then
// written into the text as one edit.

#include <QByteArray>
#include <QString>
#include <vector>

class QTextDocument;

namespace tallo::shell {

// Text to put into the document before the character at position (in UTF-16 units).
struct TextInsertion {
  int position = 0;
  QString text;
};

// What one calculation gives the editor. The engine's calculated text is not kept: the editor
// needs only what to insert.
struct CalculatedAnswers {
  std::vector<TextInsertion> insertions;  // in ascending order of position
};

// Calculates a document's text in UTF-8 (DocumentUtf8); the lines of an answer end in line_end
// (AnswerLineEnd). Touches nothing else, so it may run on any thread.
CalculatedAnswers CalculateAnswers(const QByteArray& utf8, QChar line_end);

// Inserts the answers into document as one undoable edit.
void InsertAnswers(QTextDocument& document, std::vector<TextInsertion> insertions);

}  // namespace tallo::shell
