// Files: how bytes become the editor's text and back, what saving writes and how it fails, and the
// files that cannot or should not be opened.

#include "shell/safe_write.h"
#include "shell/tallo_doc.h"
#include "shell/text_file.h"
#include "shell_test_support.h"

using namespace tallo::shell;
using namespace tallo::shell::testing;

class FilesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    doc_.NewDocument();
  }
  void TextFileFormats_data() { AddCaseRows("text_files.tsv", 6); }
  void TextFileFormats() {
    const auto [bytes, text, encoding, mark, line_end, round_trip] = Fields<6>();
    const DecodedText decoded = DecodeTextFile(bytes.toLatin1());
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.format.encoding == Encoding::Windows1252, encoding == "windows-1252");
    QCOMPARE(decoded.format.byte_order_mark, mark == "bom");
    QCOMPARE(int(decoded.format.line_end), QStringList({"lf", "crlf", "cr"}).indexOf(line_end));
    QCOMPARE(EncodeTextFile(decoded.text, decoded.format) == bytes.toLatin1(), round_trip == "yes");
  }
  // Every byte of an 8-bit file has a character of its own; characters without a byte cannot
  // be written in it.
  void Windows1252IsOneCharacterPerByte() {
    QByteArray all("\xFF");  // not UTF-8
    for (int byte = 1; byte < 256; ++byte) {
      if (byte != '\n' && byte != '\r') all.append(char(byte));
    }
    const DecodedText decoded = DecodeTextFile(all);
    QCOMPARE(decoded.text.size(), all.size());
    QCOMPARE(EncodeTextFile(decoded.text, decoded.format).value_or("<none>"), all);
    const TextFormat eight_bit{Encoding::Windows1252, false, LineEnd::Lf};
    // U+2265 has no byte; U+0080 is not byte 0x80, which is the euro sign U+20AC.
    QVERIFY(!EncodeTextFile(QStringLiteral("x \u2265 1"), eight_bit));
    QVERIFY(!EncodeTextFile(QString(QChar(0x80)), eight_bit));
    QCOMPARE(EncodeTextFile(QStringLiteral("\u20AC5"), eight_bit).value_or("<none>"),
             "\x80"
             "5");
  }
  void SavesKeepTheFileForm_data() { AddCaseRows("saves.tsv", 4); }
  void SavesKeepTheFileForm() {
    const auto [bytes, appended, expected, mode] = Fields<4>();
    QVERIFY(QDir(dir_->path()).mkdir("work"));
    const QString path = Path("work/in.txt");
    if (bytes != "<new>") {
      WriteBytes(path, bytes.toLatin1());
      if (mode != "-") SetMode(path, mode.toUInt(nullptr, 8));
      QCOMPARE(IsWriteProtected(path), mode == "444");  // for root too
      Open(path);
      QVERIFY(!doc_.IsModified() && !text_.isUndoAvailable());  // opening is not an edit
    }
    Append(appended);
    QCOMPARE(doc_.IsModified(), !appended.isEmpty());
    // The new file is made beside the old one: nothing outside its folder changes. (The wait
    // lets a change show in the folder times, which the system keeps to a few milliseconds.)
    const auto outside = ChangeTimeOf(dir_->path());
    QThread::msleep(20);
    QCOMPARE(Save(path), CTalloDoc::SaveResult::Saved);
    QVERIFY(ChangeTimeOf(dir_->path()) == outside);
    QCOMPARE(ReadBytes(path), expected.toLatin1());
    QVERIFY(!doc_.IsModified());
    QCOMPARE(doc_.DisplayName(), QStringLiteral("in.txt"));
    if (mode != "-") QCOMPARE(ModeOf(path), mode.toUInt(nullptr, 8));
  }
  void FailedSavesKeepTheOldFile_data() { AddCaseRows("save_failures.tsv", 3); }
  void FailedSavesKeepTheOldFile() {
    const auto [failure, added, reason] = Fields<3>();
    QVERIFY(QDir(dir_->path()).mkdir("work"));
    const QString path = Path("work/in.txt");
    WriteBytes(path, "1");  // one byte: a read that gives a single byte is not an end
    Open(path);
    Append(QString(added.toInt(), u'x'));
    QString error;
    const bool saved = WithSaveFailure(failure, path, [&] { return doc_.Save(path, &error); }) ==
                       CTalloDoc::SaveResult::Saved;
    QCOMPARE(saved ? QStringLiteral("-") : error, reason);
    QCOMPARE(doc_.IsModified(), !saved);
    const QByteArray old("1");
    if (failure != "target is a folder")
      QCOMPARE(ReadBytes(path), saved ? old + QByteArray(added.toInt(), 'x') : old);
    // No half-written file is left beside it.
    QCOMPARE(QDir(Path("work")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"in.txt"});
  }
  void WriteProtectionIsAskedOfTheSystem() {
    QVERIFY(!IsWriteProtected(Path("missing.txt")));
    QVERIFY(!IsWriteProtected(dir_->path()));  // a folder in the way is no file to ask about
    WriteBytes(Path("in.txt"), "a\n");
    if (geteuid() != 0) return;
    SetMode(dir_->path(), 0755);
    const AsOrdinaryUser nobody;  // root's own 0644 file is not nobody's to write
    QVERIFY(IsWriteProtected(Path("in.txt")));
  }

  void UnopenableFilesAreRefused_data() { AddCaseRows("unopenable.tsv", 2); }
  void UnopenableFilesAreRefused() {
    const auto [kind, reason] = Fields<2>();
    QString path = kind.startsWith(u'/') ? kind : kind == "folder" ? dir_->path() : Path(kind);
    if (kind == "pipe") QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (kind == "large") {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly) && file.resize((qint64{128} << 20) + 1));  // sparse
    }
    Append(QStringLiteral("kept"));
    QString error;
    QCOMPARE(doc_.Open(path, &error), CTalloDoc::OpenResult::Failed);
    QCOMPARE(error, reason);
    QCOMPARE(text_.toPlainText(), QStringLiteral("kept"));
    QVERIFY(doc_.IsModified());
  }
  // Lines go kLinesPerParagraph to a paragraph, and a long file in parts that end at paragraph
  // ends; cancelling leaves a new document.
  void LargeFilesLoadInParts() {
    // A line longer than kLongestGroupedLine stays alone; an empty first line is grouped too.
    const QByteArray one_long(kLongestGroupedLine + 1, 'x');
    WriteBytes(Path("small.txt"),
               "\nb\na\tb\nc\nd\n" + one_long + "\ne\tf\n" + one_long.chopped(1) + "\ng");
    Open(Path("small.txt"));
    QCOMPARE(text_.toRawText(), "\u2028b\u2029a\tb\u2029c\u2028d\u2029" + one_long +
                                    "\u2029e\tf\u2029" + one_long.chopped(1) + "\u2028g");
    // A line "#", then lines of 8 bytes: paragraphs end at byte 506 + 512 k. A part ends at the
    // first paragraph end at least kLoadPartCharacters (2^20 = 512 * 2048) past the last part.
    QByteArray bytes("#\n");
    for (int line = 0; line < 5 * kLoadPartCharacters / 16; ++line) {
      bytes += QByteArray::number(line).rightJustified(7, '0') + '\n';
    }
    WriteBytes(Path("large.txt"), bytes);
    QList<qint64> done;
    bool loading = true;
    QString error;
    QCOMPARE(doc_.Open(Path("large.txt"), &error,
                       [&](qint64 so_far, qint64 all) {
                         done << so_far << all;
                         loading = loading && doc_.IsLoading();
                         return true;
                       }),
             CTalloDoc::OpenResult::Opened);
    QVERIFY(loading);
    const qint64 all = bytes.size();  // ASCII: one character per byte
    QCOMPARE(done, QList<qint64>({kLoadPartCharacters + 506, all, 2 * kLoadPartCharacters + 506,
                                  all, all, all}));
    // Its lines and the empty one after the last line end, kLinesPerParagraph to a paragraph.
    QCOMPARE(text_.blockCount(), (bytes.count('\n') + kLinesPerParagraph) / kLinesPerParagraph);
    QCOMPARE(DocumentText(text_), QString::fromLatin1(bytes));
    QVERIFY(!doc_.IsModified() && !doc_.IsLoading() && !text_.isUndoAvailable());
    // Cancelled after the first part: a new, empty document.
    QCOMPARE(doc_.Open(Path("large.txt"), &error, [](qint64, qint64) { return false; }),
             CTalloDoc::OpenResult::Cancelled);
    QVERIFY(text_.isEmpty() && !doc_.IsModified() && !doc_.IsLoading() && doc_.path().isEmpty());
    // A paragraph end one character short of a part's size is too early to end the part; the
    // next one is the end of the text, since the two lines after it share a paragraph.
    const QByteArray edge = QByteArray(kLoadPartCharacters - 2, 'y') + "\nzzzzz\nw";
    WriteBytes(Path("edge.txt"), edge);
    done.clear();
    QCOMPARE(doc_.Open(Path("edge.txt"), &error,
                       [&](qint64 so_far, qint64 all) {
                         done << so_far << all;
                         return true;
                       }),
             CTalloDoc::OpenResult::Opened);
    QCOMPARE(done, QList<qint64>({edge.size(), edge.size()}));
  }
  void RestoredTextIsUnsavedWorkOfItsFile() {
    const QString path = QFileInfo(Path("work.txt")).absoluteFilePath();
    WriteBytes(path, "on disk\r\n");
    const TextFormat format{Encoding::Windows1252, false, LineEnd::CrLf};
    QVERIFY(doc_.Restore(path, format, QStringLiteral("caf\u00E9\nx=1\n")));
    QVERIFY(doc_.IsModified() && !text_.isUndoAvailable());
    QCOMPARE(doc_.path(), path);
    QCOMPARE(ReadBytes(path), QByteArray("on disk\r\n"));  // nothing written yet
    QCOMPARE(Save(path), CTalloDoc::SaveResult::Saved);
    QCOMPARE(ReadBytes(path), QByteArray("caf\xE9\r\nx=1\r\n"));  // e-acute is E9 in Windows-1252
    QVERIFY(!doc_.Restore(path, format, QString(2 * kLoadPartCharacters, u'y'),
                          [](qint64, qint64) { return false; }));
    QVERIFY(text_.isEmpty() && !doc_.IsModified() && doc_.path().isEmpty());
  }

 private:
  QString Path(const QString& name) const { return dir_->filePath(name); }
  void Append(const QString& text) {
    QTextCursor end(&text_);
    end.movePosition(QTextCursor::End);
    end.insertText(text);
  }
  void Open(const QString& path) {
    QString error;
    QCOMPARE(doc_.Open(path, &error), CTalloDoc::OpenResult::Opened);
  }
  CTalloDoc::SaveResult Save(const QString& path) {
    QString error;
    return doc_.Save(path, &error);
  }

  std::unique_ptr<QTemporaryDir> dir_;
  QTextDocument text_;
  CTalloDoc doc_{&text_};
};

QTEST_MAIN(FilesTest)
#include "files_test.moc"
