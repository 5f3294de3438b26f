#include "shell/worksheet_edit.h"

#include <QTextCursor>
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "engine/calculate.h"

namespace tallo::shell {
namespace {

// A batch holds about this much answer text: enough that handing it over costs little, little
// enough that the window writes one while the engine works on the next.
constexpr std::size_t kBatchBytes = 64 * 1024;

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The UTF-16 units of valid UTF-8: one for each lead byte, two for a four-byte sequence.
qsizetype Utf16Units(std::string_view utf8) {
  qsizetype units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    units += (IsContinuationByte(byte) ? 0 : 1) + (byte >= 0xF0 ? 1 : 0);
  }
  return units;
}

// UTF-16 positions of byte offsets into valid UTF-8, asked for in ascending order: each byte is
// looked at once however many offsets are asked for.
class Utf16Positions {
 public:
  explicit Utf16Positions(std::string_view utf8) : utf8_(utf8) {}

  int At(std::size_t offset) {
    offset = std::min(offset, utf8_.size());
    if (offset > counted_) {
      units_ += static_cast<int>(Utf16Units(utf8_.substr(counted_, offset - counted_)));
      counted_ = offset;
    }
    return units_;
  }

 private:
  std::string_view utf8_;
  std::size_t counted_ = 0;
  int units_ = 0;
};

// Gathers what the engine inserts, none of the input it copies (the document holds that
// already), and hands it on a batch at a time. Pieces that follow one another with nothing
// copied between them make one insertion.
class AnswerBatcher : public CalculatedTextSink {
 public:
  AnswerBatcher(std::string_view input, QChar line_end,
                const std::function<void(AnswerBatch)>& deliver)
      : positions_(input), line_end_(line_end), deliver_(deliver) {}

  void Copy(std::string_view piece) override {
    if (piece.empty()) return;
    copied_ = true;
    if (text_.size() >= kBatchBytes) Deliver();  // between insertions, never inside one
  }

  void Insert(std::size_t offset, std::string_view piece) override {
    if (copied_) {
      batch_.insertions.push_back({positions_.At(offset), 0});
      starts_.push_back({offset, inserted_});
    }
    const qsizetype units = Utf16Units(piece);
    batch_.insertions.back().length += units;
    inserted_ += units;
    text_ += piece;
    copied_ = false;
  }

  void Deliver() {
    if (batch_.insertions.empty()) return;
    // An answer's line ends become line_end, one unit each as the LF they replace.
    batch_.text = QString::fromUtf8(text_.data(), static_cast<qsizetype>(text_.size()));
    batch_.text.replace(u'\n', line_end_);
    text_.clear();
    deliver_(std::exchange(batch_, AnswerBatch()));
  }

  // The units of the insertions at the input's offset or before it (offsets asked for in
  // ascending order).
  qsizetype InsertedBefore(std::size_t offset) {
    for (; behind_ < starts_.size() && starts_[behind_].offset <= offset; ++behind_) {
    }
    return behind_ < starts_.size() ? starts_[behind_].inserted_before : inserted_;
  }

 private:
  struct Start {
    std::size_t offset;         // in the input
    qsizetype inserted_before;  // units inserted in front of it
  };

  Utf16Positions positions_;
  QChar line_end_;
  const std::function<void(AnswerBatch)>& deliver_;
  AnswerBatch batch_;
  std::string text_;  // the batch's text as the engine writes it
  std::vector<Start> starts_;
  std::size_t behind_ = 0;
  qsizetype inserted_ = 0;
  bool copied_ = true;  // since the last insertion, or from the start: the next one is new
};

}  // namespace

std::vector<UnansweredMark> CalculateAnswers(const QByteArray& utf8, QChar line_end,
                                             bool p_values,
                                             const std::function<void(AnswerBatch)>& deliver) {
  const std::string_view input(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  AnswerBatcher batcher(input, line_end, deliver);
  const std::vector<Reason> reasons =
      CalculateWorksheet(input, {.p_values = p_values, .reasons = true}, batcher);
  batcher.Deliver();
  // An unanswered "=" ends up behind the input in front of it and every insertion made there
  // or before it.
  std::vector<UnansweredMark> unanswered;
  unanswered.reserve(reasons.size());
  Utf16Positions positions(input);
  for (const Reason& reason : reasons) {
    const qsizetype position = positions.At(reason.offset) + batcher.InsertedBefore(reason.offset);
    unanswered.push_back({static_cast<int>(position), QString::fromStdString(reason.message)});
  }
  return unanswered;
}

qsizetype InsertAnswers(QTextCursor& cursor, const AnswerBatch& batch, qsizetype inserted) {
  // In text order, each behind what went in before it; each piece is a view of the batch's
  // text, which the document copies into its own.
  qsizetype begin = 0;
  for (const AnswerBatch::Insertion& insertion : batch.insertions) {
    cursor.setPosition(static_cast<int>(insertion.position + inserted));
    cursor.insertText(QString::fromRawData(batch.text.constData() + begin, insertion.length));
    begin += insertion.length;
    inserted += insertion.length;
  }
  return inserted;
}

}  // namespace tallo::shell
