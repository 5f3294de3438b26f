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

// An "=" that got no answer: where it stands once the answers are in (in UTF-16 units), and why.
struct UnansweredMark {
  int position = 0;
  QString message;
};

// What one calculation gives the editor. The engine's calculated text is not kept: the editor
// needs only what to insert and where the unanswered "=" end up.
struct CalculatedAnswers {
  std::vector<TextInsertion> insertions;  // in ascending order of position
  std::vector<UnansweredMark> unanswered;  // in ascending order of position
};

// Calculates a document's text in UTF-8 (DocumentUtf8); the lines of an answer end in line_end
// (AnswerLineEnd); p_values adds the exact p-value to every significance label. Touches nothing
// else, so it may run on any thread.
CalculatedAnswers CalculateAnswers(const QByteArray& utf8, QChar line_end, bool p_values);

// Inserts the answers into document as one undoable edit.
void InsertAnswers(QTextDocument& document, std::vector<TextInsertion> insertions);

}  // namespace tallo::shell
