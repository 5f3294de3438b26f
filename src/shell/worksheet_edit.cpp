#include "shell/worksheet_edit.h"

#include <QString>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace tallo::shell {
namespace {

// UTF-16 units that a piece of valid UTF-8 decodes to: one per lead byte, two for a
// four-byte sequence (a surrogate pair).
int Utf16Length(const char* begin, const char* end) {
  int units = 0;
  for (const char* p = begin; p != end; ++p) {
    const auto byte = static_cast<unsigned char>(*p);
    if ((byte & 0xC0) != 0x80) ++units;
    if (byte >= 0xF0) ++units;
  }
  return units;
}

}  // namespace

void ApplyAnswers(QTextDocument& document, const QByteArray& utf8,
                  const std::vector<Insertion>& insertions) {
  if (insertions.empty()) return;
  // Positions in the document before any answer is inserted, in ascending order.
  std::vector<int> positions;
  positions.reserve(insertions.size());
  int position = 0;
  std::size_t counted = 0;
  for (const Insertion& insertion : insertions) {
    const std::size_t offset = std::min<std::size_t>(insertion.offset, utf8.size());
    position += Utf16Length(utf8.constData() + counted, utf8.constData() + offset);
    counted = offset;
    positions.push_back(position);
  }
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  // From the end, so that the positions still ahead stay valid.
  for (std::size_t i = insertions.size(); i-- > 0;) {
    cursor.setPosition(positions[i]);
    const std::string_view text = insertions[i].text;
    cursor.insertText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  }
  cursor.endEditBlock();
}

}  // namespace tallo::shell
