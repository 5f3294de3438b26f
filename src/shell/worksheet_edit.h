#pragma once
// The engine's answers as the editor takes them: worked out away from the window's thread and
// handed over in stretches, each written into the text while the engine works on the next.

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

class QTextCursor;

namespace tallo::shell {

// The answers of one stretch of the text, in text order.
struct AnswerBatch {
  struct Insertion {
    int position = 0;      // before this character of the text as it was calculated
    qsizetype length = 0;  // of what is inserted there, the next units of text
  };
  QString text;  // what is inserted, one insertion after another
  std::vector<Insertion> insertions;
};

// An "=" that got no answer: where it stands once the answers are in, and why.
struct UnansweredMark {
  int position = 0;
  QString message;
};

// Calculates a document's text in UTF-8 (DocumentUtf8); the lines of an answer end in line_end
// (AnswerLineEnd); p_values adds the exact p-value to every significance label. The answers go
// to deliver in batches, in text order, as the engine writes them; what comes back is every "="
// left without an answer. Positions count UTF-16 units. Touches nothing else, so it may run on
// any thread.
std::vector<UnansweredMark> CalculateAnswers(const QByteArray& utf8, QChar line_end,
                                             bool p_values,
                                             const std::function<void(AnswerBatch)>& deliver);

// Inserts batch with cursor, behind the inserted units of the batches before it; returns the
// units inserted with this one.
qsizetype InsertAnswers(QTextCursor& cursor, const AnswerBatch& batch, qsizetype inserted);

}  // namespace tallo::shell
