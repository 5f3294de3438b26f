#include "shell/text_file.h"

#include <QStringDecoder>
#include <array>

namespace tallo::shell {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// Windows-1252 bytes 0x80 to 0x9F; the undefined ones stand for themselves.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

std::optional<QString> DecodeUtf8(QByteArrayView bytes) {
  // A further byte-order mark after the first is text and stays.
  QStringDecoder decoder(QStringDecoder::Utf8,
                         QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString text = decoder(bytes);
  if (decoder.hasError()) return std::nullopt;
  return text;
}

QString DecodeWindows1252(QByteArrayView bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    *out++ = (value >= 0x80 && value < 0xA0) ? QChar(kWindows1252High[value - 0x80]) : QChar(value);
  }
  return text;
}

std::optional<char> Windows1252Byte(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
    if (kWindows1252High[i] == unit) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

std::optional<QByteArray> EncodeWindows1252(const QString& text) {
  QByteArray bytes(text.size(), Qt::Uninitialized);
  char* out = bytes.data();
  for (const QChar unit : text) {
    const std::optional<char> byte = Windows1252Byte(unit.unicode());
    if (!byte) return std::nullopt;
    *out++ = *byte;
  }
  return bytes;
}

// Turns every CR LF and lone CR into LF, and tells which style most line ends had.
LineEnd NormaliseLineEnds(QString& text) {
  qsizetype lf = 0;
  qsizetype crlf = 0;
  qsizetype cr = 0;
  qsizetype kept = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    QChar unit = text[i];
    if (unit == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') {
        ++crlf;
        ++i;
      } else {
        ++cr;
      }
      unit = u'\n';
    } else if (unit == u'\n') {
      ++lf;
    }
    text[kept++] = unit;
  }
  text.truncate(kept);
  if (crlf > lf && crlf >= cr) return LineEnd::CrLf;
  if (cr > lf && cr > crlf) return LineEnd::Cr;
  return LineEnd::Lf;
}

QString WithLineEnds(const QString& text, LineEnd line_end) {
  switch (line_end) {
    case LineEnd::Lf:
      return text;
    case LineEnd::CrLf:
      return QString(text).replace(u'\n', QStringLiteral("\r\n"));
    case LineEnd::Cr:
      return QString(text).replace(u'\n', u'\r');
  }
  return text;
}

}  // namespace

DecodedText DecodeTextFile(const QByteArray& bytes) {
  DecodedText decoded;
  QByteArrayView content(bytes);
  decoded.format.byte_order_mark = content.startsWith(kByteOrderMark);
  if (decoded.format.byte_order_mark) content = content.sliced(3);
  if (std::optional<QString> utf8 = DecodeUtf8(content)) {
    decoded.text = std::move(*utf8);
  } else {
    // The mark was text of an 8-bit file after all.
    decoded.format.byte_order_mark = false;
    decoded.format.encoding = Encoding::Windows1252;
    decoded.text = DecodeWindows1252(bytes);
  }
  decoded.format.line_end = NormaliseLineEnds(decoded.text);
  return decoded;
}

std::optional<QByteArray> EncodeTextFile(const QString& text, const TextFormat& format) {
  const QString lines = WithLineEnds(text, format.line_end);
  if (format.encoding == Encoding::Windows1252) return EncodeWindows1252(lines);
  QByteArray bytes = format.byte_order_mark ? QByteArray(kByteOrderMark) : QByteArray();
  bytes += lines.toUtf8();
  return bytes;
}

}  // namespace tallo::shell
