#include "shell/worksheet_edit.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <string_view>

#include "engine/calculate.h"

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

CalculatedAnswers CalculateAnswers(const QByteArray& utf8, QChar line_end) {
  Calculation calculation =
      CalculateWorksheet(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
  calculation.text = std::string();
  CalculatedAnswers answers;
  answers.insertions.reserve(calculation.insertions.size());
  // The insertions' offsets count bytes of the UTF-8 text.
  int position = 0;
  qsizetype counted = 0;
  for (Insertion& insertion : calculation.insertions) {
    const auto offset = std::min(static_cast<qsizetype>(insertion.offset), utf8.size());
    position += Utf16Length(utf8.constData() + counted, utf8.constData() + offset);
    counted = offset;
    answers.insertions.push_back(
        {position, QString::fromStdString(insertion.text).replace(u'\n', line_end)});
    std::string().swap(insertion.text);  // one copy of the answers at a time
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
