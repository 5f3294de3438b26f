// The file formats: what opening finds in the bytes, and that saving gives them back.

#include "shell/text_file.h"

#include <QTest>

using tallo::shell::DecodeTextFile;
using tallo::shell::EncodeTextFile;
using tallo::shell::Encoding;
using tallo::shell::LineEnd;
using tallo::shell::TextFormat;

Q_DECLARE_METATYPE(TextFormat)

class TextFileTest : public QObject {
  Q_OBJECT

 private slots:
  // A file written in one style decodes to LF text and encodes back to the same bytes.
  void RoundTripsEachFormat_data();
  void RoundTripsEachFormat();
  // The style most line ends have wins; the others become LF in the text.
  void MixedLineEndsTakeTheMostCommonStyle_data();
  void MixedLineEndsTakeTheMostCommonStyle();
  // Anything that is not valid UTF-8 is read one byte per character.
  void InvalidUtf8IsReadAsWindows1252_data();
  void InvalidUtf8IsReadAsWindows1252();
  void Windows1252MapsEveryByteBothWays();
  void CharactersOutsideWindows1252CannotBeEncoded();
};

void TextFileTest::RoundTripsEachFormat_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("text");
  QTest::addColumn<TextFormat>("format");
  const TextFormat lf{Encoding::Utf8, false, LineEnd::Lf};
  const TextFormat crlf{Encoding::Utf8, false, LineEnd::CrLf};
  QTest::newRow("empty") << QByteArray() << QString() << lf;
  QTest::newRow("lf") << QByteArray("a=1\nb=2\n") << "a=1\nb=2\n" << lf;
  QTest::newRow("crlf") << QByteArray("a=1\r\nb=2\r\n") << "a=1\nb=2\n" << crlf;
  QTest::newRow("crlf, no last line end") << QByteArray("a\r\nb") << "a\nb" << crlf;
  QTest::newRow("cr") << QByteArray("a\rb\r") << "a\nb\n"
                      << TextFormat{Encoding::Utf8, false, LineEnd::Cr};
  QTest::newRow("utf-8 with mark")
      << QByteArray("\xEF\xBB\xBFx\xC2\xB5\r\n") << QStringLiteral("x\u00B5\n")
      << TextFormat{Encoding::Utf8, true, LineEnd::CrLf};
  // A mark after the first is a character of the text (U+FEFF).
  QTest::newRow("two marks") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFz") << QStringLiteral("\uFEFFz")
                             << TextFormat{Encoding::Utf8, true, LineEnd::Lf};
  QTest::newRow("four-byte character")
      << QByteArray("\xF0\x9F\x98\x80=\n") << QStringLiteral("\U0001F600=\n") << lf;
  QTest::newRow("no-break space and line separator") << QByteArray(
                                                            "a\xC2\xA0"
                                                            "b\xE2\x80\xA8"
                                                            "c")
                                                     << QStringLiteral("a\u00A0b\u2028c") << lf;
  QTest::newRow("latin-1 bytes") << QByteArray("caf\xE9\r\n") << QStringLiteral("caf\u00E9\n")
                                 << TextFormat{Encoding::Windows1252, false, LineEnd::CrLf};
}

void TextFileTest::RoundTripsEachFormat() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, text);
  QFETCH(TextFormat, format);
  const auto decoded = DecodeTextFile(bytes);
  QCOMPARE(decoded.text, text);
  QVERIFY(decoded.format == format);
  QCOMPARE(EncodeTextFile(decoded.text, decoded.format).value_or("<none>"), bytes);
}

void TextFileTest::MixedLineEndsTakeTheMostCommonStyle_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<int>("style");
  QTest::newRow("two crlf, one lf") << QByteArray("a\r\nb\r\nc\nd") << int(LineEnd::CrLf);
  QTest::newRow("two lf, one crlf") << QByteArray("a\nb\r\nc\n") << int(LineEnd::Lf);
  QTest::newRow("tie goes to lf") << QByteArray("a\nb\r\n") << int(LineEnd::Lf);
  QTest::newRow("two cr, one lf") << QByteArray("a\rb\rc\n") << int(LineEnd::Cr);
}

void TextFileTest::MixedLineEndsTakeTheMostCommonStyle() {
  QFETCH(QByteArray, bytes);
  QFETCH(int, style);
  const auto decoded = DecodeTextFile(bytes);
  QCOMPARE(int(decoded.format.line_end), style);
  QVERIFY(!decoded.text.contains(u'\r'));
  QCOMPARE(decoded.text.count(u'\n'), bytes.count('\n') + bytes.count('\r') - bytes.count("\r\n"));
}

void TextFileTest::InvalidUtf8IsReadAsWindows1252_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("text");
  // Windows-1252: 0x80 is the euro sign, 0x93 and 0x94 curly quotes, 0xB5 micro.
  QTest::newRow("smart quotes") << QByteArray("\x93x\x94") << QStringLiteral("\u201Cx\u201D");
  QTest::newRow("lone continuation byte") << QByteArray("\xB5m") << QStringLiteral("\u00B5m");
  QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QStringLiteral("\u00C0\u00AF");
  QTest::newRow("utf-16 surrogate in utf-8")
      << QByteArray("\xED\xA0\x80") << QStringLiteral("\u00ED\u00A0\u20AC");
  QTest::newRow("cut off at the end")
      << QByteArray("ok\xE2\x82") << QStringLiteral("ok\u00E2\u201A");
  // The mark's bytes are text when the rest is not UTF-8.
  QTest::newRow("mark, then latin-1")
      << QByteArray("\xEF\xBB\xBF\xE9") << QStringLiteral("\u00EF\u00BB\u00BF\u00E9");
}

void TextFileTest::InvalidUtf8IsReadAsWindows1252() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, text);
  const auto decoded = DecodeTextFile(bytes);
  QCOMPARE(decoded.text, text);
  QCOMPARE(int(decoded.format.encoding), int(Encoding::Windows1252));
  QVERIFY(!decoded.format.byte_order_mark);
  QCOMPARE(EncodeTextFile(decoded.text, decoded.format).value_or("<none>"), bytes);
}

void TextFileTest::Windows1252MapsEveryByteBothWays() {
  // Every byte but LF and CR (line ends), after one invalid byte that makes it 8-bit.
  QByteArray all("\xFF");
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != '\n' && byte != '\r') all.append(char(byte));
  }
  const auto decoded = DecodeTextFile(all);
  QCOMPARE(decoded.text.size(), all.size());
  // The five bytes the code page leaves undefined stand for themselves (U+0081 ...).
  for (const int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    QVERIFY(decoded.text.contains(QChar(undefined)));
  }
  QCOMPARE(decoded.text.count(QChar(0x20AC)), 1);  // 0x80
  QCOMPARE(decoded.text.count(QChar(0x0178)), 1);  // 0x9F, capital Y with diaeresis
  QCOMPARE(EncodeTextFile(decoded.text, decoded.format).value_or("<none>"), all);
}

void TextFileTest::CharactersOutsideWindows1252CannotBeEncoded() {
  const TextFormat eight_bit{Encoding::Windows1252, false, LineEnd::Lf};
  QVERIFY(!EncodeTextFile(QStringLiteral("x \u2265 1"), eight_bit).has_value());
  // U+0080 is not 0x80: that byte is the euro sign.
  QVERIFY(!EncodeTextFile(QString(QChar(0x80)), eight_bit).has_value());
  QCOMPARE(EncodeTextFile(QStringLiteral("\u20AC5"), eight_bit).value_or("<none>"),
           QByteArray("\x80"
                      "5"));
}

QTEST_APPLESS_MAIN(TextFileTest)
#include "text_file_test.moc"
