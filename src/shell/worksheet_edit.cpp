#include "shell/worksheet_edit.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <string_view>
#include <utility>

#include "engine/calculate.h"

namespace tallo::shell {
namespace {

// UTF-16 positions of byte offsets into valid UTF-8, asked for in ascending order: each byte is
// looked at once however many offsets are asked for. A lead byte is one unit, a four-byte
// sequence two (a surrogate pair).
class Utf16Positions {
 public:
  explicit Utf16Positions(std::string_view utf8) : utf8_(utf8) {}

  int At(std::size_t offset) {
    for (offset = std::min(offset, utf8_.size()); counted_ < offset; ++counted_) {
      const auto byte = static_cast<unsigned char>(utf8_[counted_]);
      if ((byte & 0xC0) != 0x80) ++units_;
      if (byte >= 0xF0) ++units_;
    }
    return units_;
  }

 private:
  std::string_view utf8_;
  std::size_t counted_ = 0;
  int units_ = 0;
};

}  // namespace

CalculatedAnswers CalculateAnswers(const QByteArray& utf8, QChar line_end, bool p_values) {
  const std::string_view input(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  Calculation calculation = CalculateWorksheet(input, {.p_values = p_values, .reasons = true});
  CalculatedAnswers answers;
  // The reasons' offsets count bytes of the calculated text, where the answers' line ends are
  // one unit each as line_end is.
  answers.unanswered.reserve(calculation.reasons.size());
  Utf16Positions calculated(calculation.text);
  for (const Reason& reason : calculation.reasons) {
    answers.unanswered.push_back(
        {calculated.At(reason.calculated_offset), QString::fromStdString(reason.message)});
  }
  std::vector<Reason>().swap(calculation.reasons);
  answers.insertions.reserve(calculation.insertions.size());
  // The insertions' offsets count bytes of the input; their texts are views of the calculated
  // text, which goes once they are converted.
  Utf16Positions positions(input);
  for (const Insertion& insertion : calculation.insertions) {
    const std::string_view text = insertion.text;
    QString converted = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    converted.replace(u'\n', line_end);
    answers.insertions.push_back({positions.At(insertion.offset), std::move(converted)});
  }
  return answers;
}

void InsertAnswers(QTextDocument& document, std::vector<TextInsertion> insertions) {
  if (insertions.empty()) return;
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  // From the end, so that the positions still ahead stay valid.
  for (auto insertion = insertions.rbegin(); insertion != insertions.rend(); ++insertion) {
    cursor.setPosition(insertion->position);
    cursor.insertText(insertion->text);
    insertion->text = QString();  // the document holds it now
  }
  cursor.endEditBlock();
}

}  // namespace tallo::shell
