#pragma once
// How a text file's bytes become the editor's text and back. Opening remembers the file's
// encoding, byte-order mark and line-end style, so that saving writes the same kind of file.

#include <QByteArray>
#include <QString>
#include <optional>

namespace tallo::shell {

enum class LineEnd { Lf, CrLf, Cr };

enum class Encoding {
  Utf8,
  // A file that is not valid UTF-8 is read one byte per character as Windows-1252, with the
  // five bytes that code page leaves undefined read as the C1 controls of the same value.
  // Every byte has its own character, so the file is read without loss and written back
  // byte for byte.
  Windows1252,
};

struct TextFormat {
  Encoding encoding = Encoding::Utf8;
  bool byte_order_mark = false;
  LineEnd line_end = LineEnd::Lf;

  bool operator==(const TextFormat&) const = default;
};

struct DecodedText {
  QString text;  // every line end (CR LF, LF or a lone CR) as LF
  TextFormat format;
};

// Decodes a file. Its line-end style is the one most of its lines use (LF when none or tied).
DecodedText DecodeTextFile(const QByteArray& bytes);

// Encodes text with LF line ends in a format; nothing when a character has no byte in a
// Windows-1252 file.
std::optional<QByteArray> EncodeTextFile(const QString& text, const TextFormat& format);

}  // namespace tallo::shell
