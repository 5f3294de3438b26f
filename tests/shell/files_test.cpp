// Files: how bytes become the editor's text and back, what saving writes and how it fails, and the
// files that cannot or should not be opened.

#include <sys/stat.h>

#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include "case_table.h"
#include "shell/safe_write.h"
#include "shell/tallo_doc.h"
#include "shell/text_file.h"
#include "shell_test_support.h"

using namespace tallo::shell;
using namespace tallo::shell::testing;

Q_DECLARE_METATYPE(SaveFailure)

class FilesTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void TextFileFormats_data();
  void TextFileFormats();
  // Every byte of an 8-bit file has a character of its own; characters without a byte cannot
  // be written in it.
  void Windows1252IsOneCharacterPerByte();
  void SavesKeepTheFileForm_data();
  void SavesKeepTheFileForm();
  // A save that fails leaves the old file and says why; the document stays modified.
  void FailedSaveKeepsTheOldFile_data();
  void FailedSaveKeepsTheOldFile();
  // A folder that takes no new files: the file itself is rewritten.
  void FileInAClosedFolderIsWrittenInPlace();
  void ReplacedFilesKeepTheirMode();
  void UnopenableFilesAreRefused_data();
  void UnopenableFilesAreRefused();
  void CharactersOutsideAnEightBitFileNeedUtf8();
  // A long file goes in by parts that end at line ends; cancelling leaves a new document.
  void LargeFilesLoadInParts();
  void RestoredTextIsUnsavedWorkOfItsFile();

 private:
  QString Path(const QString& name) const { return dir_->filePath(name); }
  void Append(const QString& text) {
    QTextCursor end(&text_);
    end.movePosition(QTextCursor::End);
    end.insertText(text);
  }

  std::unique_ptr<QTemporaryDir> dir_;
  QTextDocument text_;
  CTalloDoc doc_{&text_};
};

void FilesTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  doc_.NewDocument();
}

void FilesTest::TextFileFormats_data() {
  for (const char* column : {"bytes", "text", "encoding", "mark", "line_end", "round_trip"}) {
    QTest::addColumn<QString>(column);
  }
  for (const QStringList& row : ReadCaseTable("text_files.tsv", 6)) {
    QTest::newRow(qPrintable(row[0])) << row[0] << row[1] << row[2] << row[3] << row[4] << row[5];
  }
}

void FilesTest::TextFileFormats() {
  QFETCH(QString, bytes);
  QFETCH(QString, text);
  QFETCH(QString, encoding);
  QFETCH(QString, mark);
  QFETCH(QString, line_end);
  QFETCH(QString, round_trip);
  const QByteArray file = UnescapeBytes(bytes);
  const DecodedText decoded = DecodeTextFile(file);
  QCOMPARE(decoded.text, Unescape(text));
  QCOMPARE(decoded.format.encoding == Encoding::Windows1252, encoding == "windows-1252");
  QCOMPARE(decoded.format.byte_order_mark, mark == "bom");
  const QStringList ends = {"lf", "crlf", "cr"};
  QCOMPARE(static_cast<int>(decoded.format.line_end), ends.indexOf(line_end));
  QCOMPARE(EncodeTextFile(decoded.text, decoded.format) == file, round_trip == "yes");
}

void FilesTest::Windows1252IsOneCharacterPerByte() {
  QByteArray all("\xFF");  // not UTF-8
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != '\n' && byte != '\r') all.append(char(byte));
  }
  const DecodedText decoded = DecodeTextFile(all);
  QCOMPARE(decoded.text.size(), all.size());
  QCOMPARE(EncodeTextFile(decoded.text, decoded.format).value_or("<none>"), all);
  const TextFormat eight_bit{Encoding::Windows1252, false, LineEnd::Lf};
  // U+2265 has no byte; U+0080 is not byte 0x80, which is the euro sign U+20AC.
  QVERIFY(!EncodeTextFile(QStringLiteral("x \u2265 1"), eight_bit).has_value());
  QVERIFY(!EncodeTextFile(QString(QChar(0x80)), eight_bit).has_value());
  QCOMPARE(EncodeTextFile(QStringLiteral("\u20AC5"), eight_bit).value_or("<none>"),
           "\x80"
           "5");
}

void FilesTest::SavesKeepTheFileForm_data() {
  QTest::addColumn<QString>("bytes");
  QTest::addColumn<QString>("appended");
  QTest::addColumn<QString>("expected");
  for (const QStringList& row : ReadCaseTable("saves.tsv", 3)) {
    QTest::newRow(qPrintable(row[0] + u'+' + row[1])) << row[0] << row[1] << row[2];
  }
}

void FilesTest::SavesKeepTheFileForm() {
  QFETCH(QString, bytes);
  QFETCH(QString, appended);
  QFETCH(QString, expected);
  QString error;
  if (bytes != "<new>") {
    WriteBytes(Path("in.txt"), UnescapeBytes(bytes));
    QCOMPARE(doc_.Open(Path("in.txt"), &error), CTalloDoc::OpenResult::Opened);
    QVERIFY(!doc_.IsModified());
    QVERIFY(!text_.isUndoAvailable());  // opening is not an edit
  }
  Append(Unescape(appended));
  QCOMPARE(doc_.IsModified(), !appended.isEmpty());
  QCOMPARE(doc_.Save(Path("out.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(ReadBytes(Path("out.txt")), UnescapeBytes(expected));
  QVERIFY(!doc_.IsModified());
  QCOMPARE(doc_.DisplayName(), QStringLiteral("out.txt"));
}

void FilesTest::FailedSaveKeepsTheOldFile_data() {
  QTest::addColumn<SaveFailure>("failure");
  QTest::addColumn<QString>("reason");
  // The C library's texts for EACCES and EFBIG.
  QTest::newRow("closed folder and file")
      << SaveFailure::kReadOnlyFolderAndFile << "Permission denied";
  QTest::newRow("target is a folder") << SaveFailure::kFolder << "It is a folder.";
  QTest::newRow("write cut short") << SaveFailure::kFileSizeLimit << "File too large";
  QTest::newRow("in place, cut short")
      << SaveFailure::kInPlaceSizeLimit
      << "File too large (written in place: its folder takes no new files). Its old content was "
         "put back.";
}

void FilesTest::FailedSaveKeepsTheOldFile() {
  QFETCH(SaveFailure, failure);
  QFETCH(QString, reason);
  QVERIFY(QDir(dir_->path()).mkdir("work"));
  const QString path = Path("work/in.txt");
  WriteBytes(path, "old=1\n");
  QString error;
  QCOMPARE(doc_.Open(path, &error), CTalloDoc::OpenResult::Opened);
  Append(QString(20000, u'x'));  // more than a file may grow to here
  QCOMPARE(WithSaveFailure(failure, path, [&] { return doc_.Save(path, &error); }),
           CTalloDoc::SaveResult::Failed);
  QCOMPARE(error, reason);
  QVERIFY(doc_.IsModified());
  if (failure != SaveFailure::kFolder) QCOMPARE(ReadBytes(path), QByteArray("old=1\n"));
  // No half-written file is left beside it.
  QCOMPARE(QDir(Path("work")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
           QStringList{"in.txt"});
}

void FilesTest::FileInAClosedFolderIsWrittenInPlace() {
  QVERIFY(QDir(dir_->path()).mkdir("work"));
  const QString path = Path("work/in.txt");
  WriteBytes(path, "a long first text\n");
  QString error;
  QCOMPARE(doc_.Open(path, &error), CTalloDoc::OpenResult::Opened);
  text_.setPlainText(QStringLiteral("short"));
  struct stat before {};
  stat(QFile::encodeName(path).constData(), &before);
  QVERIFY(WithSaveFailure(SaveFailure::kInPlaceSizeLimit, path,
                          [&] { return doc_.Save(path, &error) == CTalloDoc::SaveResult::Saved; }));
  QCOMPARE(ReadBytes(path), QByteArray("short"));
  struct stat after {};
  stat(QFile::encodeName(path).constData(), &after);
  QCOMPARE(after.st_ino, before.st_ino);  // the same file, not a new one in its place
  QCOMPARE(ModeOf(path), mode_t{0666});
}

void FilesTest::ReplacedFilesKeepTheirMode() {
  for (const mode_t mode : {mode_t{0640}, mode_t{0444}}) {
    WriteBytes(Path("in.txt"), "a\n");
    SetMode(Path("in.txt"), mode);
    QCOMPARE(IsWriteProtected(Path("in.txt")), mode == 0444);  // for root too
    QString error;
    QCOMPARE(doc_.Open(Path("in.txt"), &error), CTalloDoc::OpenResult::Opened);
    Append(QStringLiteral("b"));
    QCOMPARE(doc_.Save(Path("in.txt"), &error), CTalloDoc::SaveResult::Saved);
    QCOMPARE(ReadBytes(Path("in.txt")), QByteArray("a\nb"));
    QCOMPARE(ModeOf(Path("in.txt")), mode);
    SetMode(Path("in.txt"), 0644);
  }
  QVERIFY(!IsWriteProtected(Path("missing.txt")));
  if (geteuid() == 0) {
    SetMode(dir_->path(), 0755);
    const AsOrdinaryUser nobody;  // root's own 0644 file is not nobody's to write
    QVERIFY(IsWriteProtected(Path("in.txt")));
  }
}

void FilesTest::UnopenableFilesAreRefused_data() {
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QString>("reason");
  QTest::newRow("pipe") << "pipe"
                        << "It is not a regular file.";
  QTest::newRow("endless device") << "/dev/zero"
                                  << "It is not a regular file.";
  QTest::newRow("folder") << "folder"
                          << "It is a folder.";
  QTest::newRow("missing") << "missing"
                           << "No such file or directory";  // ENOENT
  // 128 MB and one byte, rounded up to whole megabytes.
  QTest::newRow("over the size limit")
      << "large"
      << "It holds 129 MB; the editor opens files of up to 128 MB. tallo-calc -i calculates larger "
         "worksheets.";
}

void FilesTest::UnopenableFilesAreRefused() {
  QFETCH(QString, kind);
  QFETCH(QString, reason);
  QString path = kind.startsWith(u'/') ? kind : Path(kind);
  if (kind == "pipe") {
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);  // reading would wait forever
  } else if (kind == "folder") {
    path = dir_->path();
  } else if (kind == "large") {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize((qint64{128} << 20) + 1));  // sparse: no disk space is used
  }
  Append(QStringLiteral("kept"));
  QString error;
  QCOMPARE(doc_.Open(path, &error), CTalloDoc::OpenResult::Failed);
  QCOMPARE(error, reason);
  QCOMPARE(text_.toPlainText(), QStringLiteral("kept"));
  QVERIFY(doc_.IsModified());
}

void FilesTest::CharactersOutsideAnEightBitFileNeedUtf8() {
  WriteBytes(Path("in.txt"), "caf\xE9\n");
  QString error;
  QCOMPARE(doc_.Open(Path("in.txt"), &error), CTalloDoc::OpenResult::Opened);
  Append(QStringLiteral("x \u2265 1\n"));
  QCOMPARE(doc_.Save(Path("in.txt"), &error), CTalloDoc::SaveResult::NotEncodable);
  QCOMPARE(ReadBytes(Path("in.txt")), QByteArray("caf\xE9\n"));
  doc_.ConvertToUtf8();
  QCOMPARE(doc_.Save(Path("in.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(ReadBytes(Path("in.txt")), QByteArray("caf\xC3\xA9\nx \xE2\x89\xA5 1\n"));
}

void FilesTest::LargeFilesLoadInParts() {
  // Two and a half parts of lines "v=12345\n".
  QByteArray bytes;
  for (int line = 0; bytes.size() < 5 * kLoadPartCharacters / 2; ++line) {
    bytes += "v=" + QByteArray::number(line) + '\n';
  }
  WriteBytes(Path("large.txt"), bytes);
  QList<qint64> done;
  qint64 total = 0;
  bool loading = true;
  QString error;
  const auto progress = [&](qint64 so_far, qint64 all) {
    done << so_far;
    total = all;
    loading = loading && doc_.IsLoading();
    return true;
  };
  QCOMPARE(doc_.Open(Path("large.txt"), &error, progress), CTalloDoc::OpenResult::Opened);
  QCOMPARE(total, bytes.size());  // ASCII: one character per byte
  QVERIFY(loading);
  // Each part at least the part size, completed to the end of its line.
  QCOMPARE(done.size(), 3);
  for (int part = 0; part < 2; ++part) {
    QVERIFY(done[part] >= (part + 1) * kLoadPartCharacters);
    QCOMPARE(bytes[done[part] - 1], '\n');
    QVERIFY(bytes.lastIndexOf('\n', done[part] - 2) < (part + 1) * kLoadPartCharacters);
  }
  QCOMPARE(done[2], bytes.size());
  QCOMPARE(DocumentText(text_), QString::fromLatin1(bytes));
  QVERIFY(!doc_.IsModified() && !doc_.IsLoading() && !text_.isUndoAvailable());
  // Cancelled after the first part: a new, empty document.
  QCOMPARE(doc_.Open(Path("large.txt"), &error, [](qint64, qint64) { return false; }),
           CTalloDoc::OpenResult::Cancelled);
  QVERIFY(text_.isEmpty() && !doc_.IsModified() && !doc_.IsLoading());
  QVERIFY(doc_.path().isEmpty());
}

void FilesTest::RestoredTextIsUnsavedWorkOfItsFile() {
  const QString path = QFileInfo(Path("work.txt")).absoluteFilePath();
  WriteBytes(path, "on disk\r\n");
  const TextFormat format{Encoding::Windows1252, false, LineEnd::CrLf};
  QVERIFY(doc_.Restore(path, format, QStringLiteral("caf\u00E9\nx=1\n")));
  QVERIFY(doc_.IsModified());
  QCOMPARE(doc_.path(), path);
  QVERIFY(!text_.isUndoAvailable());
  QCOMPARE(ReadBytes(path), QByteArray("on disk\r\n"));  // nothing written yet
  QString error;
  QCOMPARE(doc_.Save(path, &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(ReadBytes(path), QByteArray("caf\xE9\r\nx=1\r\n"));  // e-acute is E9 in Windows-1252
  QVERIFY(!doc_.Restore(path, format, QString(2 * kLoadPartCharacters, u'y'),
                        [](qint64, qint64) { return false; }));
  QVERIFY(text_.isEmpty() && !doc_.IsModified() && doc_.path().isEmpty());
}

QTEST_MAIN(FilesTest)
#include "files_test.moc"
