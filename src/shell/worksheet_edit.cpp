#include "shell/worksheet_edit.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// Keeps what the engine inserts, and none of the input it copies, which the document holds
// already: pieces that follow one another with nothing copied between them make one insertion.
class InsertedPieces : public CalculatedTextSink {
 public:
  struct Piece {
    std::size_t offset;  // in the input
    std::string text;
  };

  void Copy(std::string_view piece) override { copied_ = copied_ || !piece.empty(); }
  void Insert(std::size_t offset, std::string_view piece) override {
    if (copied_ || pieces_.empty()) pieces_.push_back({offset, std::string()});
    pieces_.back().text += piece;
    copied_ = false;
  }

  std::vector<Piece>& pieces() { return pieces_; }

 private:
  std::vector<Piece> pieces_;
  bool copied_ = false;
};

}  // namespace

CalculatedAnswers CalculateAnswers(const QByteArray& utf8, QChar line_end, bool p_values) {
  const std::string_view input(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  InsertedPieces inserted;
  std::vector<Reason> reasons =
      CalculateWorksheet(input, {.p_values = p_values, .reasons = true}, inserted);
  CalculatedAnswers answers;
  // The insertions' offsets count bytes of the input; an answer's line ends become line_end,
  // one unit each as the LF they replace.
  answers.insertions.reserve(inserted.pieces().size());
  Utf16Positions positions(input);
  for (InsertedPieces::Piece& piece : inserted.pieces()) {
    const auto size = static_cast<qsizetype>(piece.text.size());
    QString converted = QString::fromUtf8(piece.text.data(), size);
    std::string().swap(piece.text);
    converted.replace(u'\n', line_end);
    answers.insertions.push_back({positions.At(piece.offset), std::move(converted)});
  }
  // An unanswered "=" ends up behind the input in front of it and every insertion made there
  // or before it.
  answers.unanswered.reserve(reasons.size());
  Utf16Positions reason_positions(input);
  const std::vector<InsertedPieces::Piece>& pieces = inserted.pieces();
  std::size_t behind = 0;  // the insertions in front of the reasons so far
  int inserted_units = 0;
  for (const Reason& reason : reasons) {
    for (; behind < pieces.size() && pieces[behind].offset <= reason.offset; ++behind) {
      inserted_units += static_cast<int>(answers.insertions[behind].text.size());
    }
    answers.unanswered.push_back({reason_positions.At(reason.offset) + inserted_units,
                                  QString::fromStdString(reason.message)});
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
