// The document: files opened and saved byte for byte, the modified flag, failed saves, files that
// cannot or should not be opened, long loads and restored work.

#include "shell/tallo_doc.h"

#include <sys/stat.h>

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include "shell_test_support.h"

using tallo::shell::CTalloDoc;
using tallo::shell::DocumentText;
using tallo::shell::kLargestFileBytes;
using tallo::shell::kLoadPartCharacters;
using tallo::shell::testing::ReadBytes;
using tallo::shell::testing::SaveFailure;
using tallo::shell::testing::WithSaveFailure;
using tallo::shell::testing::WriteBytes;

namespace {

constexpr auto Opened = CTalloDoc::OpenResult::Opened;
constexpr auto OpenFailed = CTalloDoc::OpenResult::Failed;
constexpr auto Cancelled = CTalloDoc::OpenResult::Cancelled;

}  // namespace

Q_DECLARE_METATYPE(SaveFailure)

class TalloDocTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  // Saving an unedited document writes the bytes that were read, whatever they were.
  void UneditedFilesAreWrittenBackUnchanged_data();
  void UneditedFilesAreWrittenBackUnchanged();
  // An edit changes only the edited bytes: the rest keeps its encoding, mark and line ends.
  void EditsKeepTheFileFormat_data();
  void EditsKeepTheFileFormat();
  void NoBreakSpacesSurviveAnEdit();
  void NewDocumentsAreLfUtf8();
  void ModifiedFlagFollowsEditsAndSaves();
  void SaveKeepsPermissions();
  // A file that cannot be written leaves the old one, reports why and stays modified.
  void FailedSaveKeepsTheOldFile_data();
  void FailedSaveKeepsTheOldFile();
  void SaveIntoMissingFolderFails();
  void UnreadableFileLeavesTheDocumentAlone();
  // Devices, pipes and files beyond the size limit are refused at once, before a byte is read, with
  // the reason.
  void UnopenableFilesAreRefused_data();
  void UnopenableFilesAreRefused();
  void CharactersOutsideAnEightBitFileNeedUtf8();
  // A long file goes in by parts that end at line ends, telling its progress; cancelling
  // leaves a new document.
  void LargeFilesLoadInParts();
  void CancelledLoadLeavesANewDocument();
  // Restored work is modified, belongs to its file and is written in that file's format.
  void RestoredTextIsUnsavedWorkOfItsFile();

 private:
  QString Path(const QString& name) const { return dir_->filePath(name); }
  void Append(const QString& text) {
    QTextCursor end(editor_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
  }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<QPlainTextEdit> editor_;
  std::unique_ptr<CTalloDoc> doc_;
};

void TalloDocTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  editor_ = std::make_unique<QPlainTextEdit>();
  doc_ = std::make_unique<CTalloDoc>(editor_->document());
  doc_->NewDocument();
}

void TalloDocTest::UneditedFilesAreWrittenBackUnchanged_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("lf") << QByteArray("x=1\nx*2=\n");
  QTest::newRow("crlf") << QByteArray("x=1\r\nx*2=\r\n");
  QTest::newRow("mark") << QByteArray("\xEF\xBB\xBFx=1\r\n");
  QTest::newRow("mixed line ends") << QByteArray("a\r\nb\nc\rd\r\n");
  QTest::newRow("not utf-8") << QByteArray("\x93quoted\x94\r\n\x81\x8D\xFF\r\n");
  // The text document takes a paragraph separator and the two frame marks U+FDD0 and U+FDD1 as line
  // ends; the file keeps them.
  QTest::newRow("nul and paragraph breaks") << QByteArray(
      "a\0b\xE2\x80\xA9"
      "c\xEF\xB7\x90"
      "d\xEF\xB7\x91",
      14);
}

void TalloDocTest::UneditedFilesAreWrittenBackUnchanged() {
  QFETCH(QByteArray, bytes);
  WriteBytes(Path("in.txt"), bytes);
  QString error;
  QCOMPARE(doc_->Open(Path("in.txt"), &error), Opened);
  QCOMPARE(doc_->Save(Path("out.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(ReadBytes(Path("out.txt")), bytes);
}

void TalloDocTest::EditsKeepTheFileFormat_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QByteArray>("expected");  // after appending "y=2" and a line end
  QTest::newRow("lf") << QByteArray("x=1\n") << QByteArray("x=1\ny=2\n");
  QTest::newRow("crlf") << QByteArray("x=1\r\n") << QByteArray("x=1\r\ny=2\r\n");
  QTest::newRow("mark and crlf") << QByteArray("\xEF\xBB\xBFx\xC2\xB5\r\n")
                                 << QByteArray("\xEF\xBB\xBFx\xC2\xB5\r\ny=2\r\n");
  QTest::newRow("windows-1252") << QByteArray("\x93q\x94 \xE9\x81\r\n")
                                << QByteArray("\x93q\x94 \xE9\x81\r\ny=2\r\n");
}

void TalloDocTest::EditsKeepTheFileFormat() {
  QFETCH(QByteArray, bytes);
  QFETCH(QByteArray, expected);
  WriteBytes(Path("in.txt"), bytes);
  QString error;
  QCOMPARE(doc_->Open(Path("in.txt"), &error), Opened);
  Append(QStringLiteral("y=2\n"));
  QCOMPARE(doc_->Save(Path("in.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(ReadBytes(Path("in.txt")), expected);
}

void TalloDocTest::NoBreakSpacesSurviveAnEdit() {
  WriteBytes(Path("in.txt"), QByteArray("a\xC2\xA0"
                                        "b\n"));
  QString error;
  QCOMPARE(doc_->Open(Path("in.txt"), &error), Opened);
  Append(QStringLiteral("c"));
  QCOMPARE(DocumentText(*editor_->document()), QStringLiteral("a\u00A0b\nc"));
  QCOMPARE(doc_->Save(Path("in.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(ReadBytes(Path("in.txt")), QByteArray("a\xC2\xA0"
                                                 "b\nc"));
}

void TalloDocTest::NewDocumentsAreLfUtf8() {
  QCOMPARE(doc_->DisplayName(), QStringLiteral("Untitled"));
  Append(QStringLiteral("\u00B5=1\n2="));
  QString error;
  QCOMPARE(doc_->Save(Path("new.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(ReadBytes(Path("new.txt")), QByteArray("\xC2\xB5=1\n2="));
  QCOMPARE(doc_->DisplayName(), QStringLiteral("new.txt"));
  QCOMPARE(doc_->path(), QFileInfo(Path("new.txt")).absoluteFilePath());
}

void TalloDocTest::ModifiedFlagFollowsEditsAndSaves() {
  WriteBytes(Path("in.txt"), "1+1=\n");
  QString error;
  QCOMPARE(doc_->Open(Path("in.txt"), &error), Opened);
  QVERIFY(!doc_->IsModified());
  QVERIFY(!editor_->document()->isUndoAvailable());  // opening is not an edit to undo
  Append(QStringLiteral("x"));
  QVERIFY(doc_->IsModified());
  QCOMPARE(doc_->Save(Path("in.txt"), &error), CTalloDoc::SaveResult::Saved);
  QVERIFY(!doc_->IsModified());
  doc_->SetModified(true);
  QVERIFY(doc_->IsModified());
  doc_->NewDocument();
  QVERIFY(!doc_->IsModified());
  QVERIFY(doc_->path().isEmpty());
}

void TalloDocTest::SaveKeepsPermissions() {
  WriteBytes(Path("in.txt"), "a\n");
  QVERIFY(chmod(QFile::encodeName(Path("in.txt")).constData(), 0640) == 0);
  QString error;
  QCOMPARE(doc_->Open(Path("in.txt"), &error), Opened);
  Append(QStringLiteral("b"));
  QCOMPARE(doc_->Save(Path("in.txt"), &error), CTalloDoc::SaveResult::Saved);
  struct stat info {};
  QCOMPARE(stat(QFile::encodeName(Path("in.txt")).constData(), &info), 0);
  QCOMPARE(info.st_mode & 0777, 0640u);
}

void TalloDocTest::FailedSaveKeepsTheOldFile_data() {
  QTest::addColumn<SaveFailure>("failure");
  QTest::addColumn<int>("added");  // characters appended to the text
  QTest::addColumn<QString>("reason");
  // The reasons are the C library's texts for EACCES and EFBIG, and Qt's for a folder.
  QTest::newRow("read-only folder") << SaveFailure::kReadOnlyFolder << 20000 << "Permission denied";
  QTest::newRow("target is a folder")
      << SaveFailure::kFolder << 20000 << "Filename refers to a directory";
  QTest::newRow("write cut short") << SaveFailure::kFileSizeLimit << 20000 << "File too large";
  // Smaller than the write buffer of a file: the failure comes only when the file is
  // completed.
  QTest::newRow("small write cut short")
      << SaveFailure::kFileSizeLimit << 10000 << "File too large";
}

void TalloDocTest::FailedSaveKeepsTheOldFile() {
  QFETCH(SaveFailure, failure);
  QFETCH(int, added);
  QFETCH(QString, reason);
  const QByteArray old("old=1\n");
  QVERIFY(QDir(dir_->path()).mkdir("work"));
  const QString path = Path("work/in.txt");
  WriteBytes(path, old);
  QString error;
  QCOMPARE(doc_->Open(path, &error), Opened);
  Append(QString(added, u'x'));  // 10 or 20 KB: more than a file may grow to here
  QCOMPARE(WithSaveFailure(failure, path, [&] { return doc_->Save(path, &error); }),
           CTalloDoc::SaveResult::Failed);
  QVERIFY2(error.contains(reason), qPrintable(error));
  QVERIFY(doc_->IsModified());
  QCOMPARE(doc_->path(), QFileInfo(path).absoluteFilePath());
  if (failure == SaveFailure::kFolder) {
    QVERIFY(QFileInfo(path).isDir());
  } else {
    QCOMPARE(ReadBytes(path), old);
  }
  // No half-written file is left beside it.
  QCOMPARE(QDir(Path("work")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
           QStringList{"in.txt"});
}

void TalloDocTest::SaveIntoMissingFolderFails() {
  Append(QStringLiteral("x"));
  QString error;
  QCOMPARE(doc_->Save(Path("missing/out.txt"), &error), CTalloDoc::SaveResult::Failed);
  QVERIFY(!error.isEmpty());
  QVERIFY(doc_->IsModified());
  QVERIFY(doc_->path().isEmpty());
}

void TalloDocTest::UnreadableFileLeavesTheDocumentAlone() {
  Append(QStringLiteral("kept"));
  QString error;
  QCOMPARE(doc_->Open(Path("missing.txt"), &error), OpenFailed);
  QCOMPARE(error, QStringLiteral("No such file or directory"));  // the C library's ENOENT
  QCOMPARE(doc_->Open(dir_->path(), &error), OpenFailed);
  QCOMPARE(error, QStringLiteral("It is a folder."));
  QCOMPARE(editor_->toPlainText(), QStringLiteral("kept"));
  QVERIFY(doc_->IsModified());
}

void TalloDocTest::UnopenableFilesAreRefused_data() {
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QString>("reason");
  QTest::newRow("pipe") << "pipe"
                        << "It is not a regular file.";
  QTest::newRow("endless device") << "/dev/zero"
                                  << "It is not a regular file.";
  // 128 MB and one byte, rounded up to whole megabytes.
  QTest::newRow("over the size limit")
      << "large"
      << "It holds 129 MB; the editor opens files of up to 128 MB.";
}

void TalloDocTest::UnopenableFilesAreRefused() {
  QFETCH(QString, kind);
  QFETCH(QString, reason);
  QString path = kind;
  if (kind == "pipe") {
    // Opening a pipe for reading would wait for a writer that never comes.
    path = Path("pipe.txt");
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
  } else if (kind == "large") {
    path = Path("large.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(kLargestFileBytes + 1));  // sparse: no disk space is used
  }
  Append(QStringLiteral("kept"));
  QString error;
  QCOMPARE(doc_->Open(path, &error), OpenFailed);
  QVERIFY2(error.startsWith(reason), qPrintable(error));
  QCOMPARE(editor_->toPlainText(), QStringLiteral("kept"));
  QVERIFY(doc_->path().isEmpty());
}

void TalloDocTest::CharactersOutsideAnEightBitFileNeedUtf8() {
  const QByteArray old("caf\xE9\n");
  WriteBytes(Path("in.txt"), old);
  QString error;
  QCOMPARE(doc_->Open(Path("in.txt"), &error), Opened);
  Append(QStringLiteral("x \u2265 1\n"));
  QCOMPARE(doc_->Save(Path("in.txt"), &error), CTalloDoc::SaveResult::NotEncodable);
  QCOMPARE(ReadBytes(Path("in.txt")), old);
  doc_->ConvertToUtf8();
  QCOMPARE(doc_->Save(Path("in.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(ReadBytes(Path("in.txt")), QByteArray("caf\xC3\xA9\nx \xE2\x89\xA5 1\n"));
}

void TalloDocTest::LargeFilesLoadInParts() {
  // Two and a half parts of lines "v=12345\n".
  QByteArray bytes;
  for (int line = 0; bytes.size() < 5 * kLoadPartCharacters / 2; ++line) {
    bytes += "v=" + QByteArray::number(line) + '\n';
  }
  WriteBytes(Path("large.txt"), bytes);
  QList<qint64> done;
  qint64 total = 0;
  QString error;
  QCOMPARE(doc_->Open(Path("large.txt"), &error,
                      [&](qint64 so_far, qint64 all) {
                        done << so_far;
                        total = all;
                        return true;
                      }),
           Opened);
  QCOMPARE(total, bytes.size());  // ASCII: one character per byte
  // Each part of at least the part size, completed to the end of its line.
  QCOMPARE(done.size(), 3);
  for (int part = 0; part < 2; ++part) {
    QVERIFY(done[part] >= (part + 1) * kLoadPartCharacters);
    QCOMPARE(bytes[done[part] - 1], '\n');
    QVERIFY(bytes.lastIndexOf('\n', done[part] - 2) < (part + 1) * kLoadPartCharacters);
  }
  QCOMPARE(done[2], total);
  QCOMPARE(DocumentText(*editor_->document()), QString::fromLatin1(bytes));
  QVERIFY(!doc_->IsModified());
  QVERIFY(!doc_->IsLoading());
  QVERIFY(!editor_->document()->isUndoAvailable());
  QCOMPARE(doc_->Save(Path("copy.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(ReadBytes(Path("copy.txt")), bytes);
}

void TalloDocTest::CancelledLoadLeavesANewDocument() {
  WriteBytes(Path("old.txt"), "old\n");
  QString error;
  QCOMPARE(doc_->Open(Path("old.txt"), &error), Opened);
  WriteBytes(Path("large.txt"), QByteArray("1+1=\n").repeated(kLoadPartCharacters));
  int calls = 0;
  bool loading_seen = false;
  QCOMPARE(doc_->Open(Path("large.txt"), &error,
                      [&](qint64, qint64) {
                        loading_seen = doc_->IsLoading();
                        return ++calls < 2;
                      }),
           Cancelled);
  QCOMPARE(calls, 2);
  QVERIFY(loading_seen);
  QVERIFY(!doc_->IsLoading());
  QVERIFY(editor_->document()->isEmpty());
  QVERIFY(!doc_->IsModified());
  QVERIFY(doc_->path().isEmpty());
}

void TalloDocTest::RestoredTextIsUnsavedWorkOfItsFile() {
  const QString path = QFileInfo(Path("work.txt")).absoluteFilePath();
  WriteBytes(path, "on disk\r\n");
  tallo::shell::TextFormat format;
  format.encoding = tallo::shell::Encoding::Windows1252;
  format.line_end = tallo::shell::LineEnd::CrLf;
  QVERIFY(doc_->Restore(path, format, QStringLiteral("caf\u00E9\nx=1\n")));
  QVERIFY(doc_->IsModified());
  QCOMPARE(doc_->path(), path);
  QCOMPARE(doc_->DisplayName(), QStringLiteral("work.txt"));
  QVERIFY(!editor_->document()->isUndoAvailable());
  QCOMPARE(ReadBytes(path), QByteArray("on disk\r\n"));  // nothing written yet
  QString error;
  QCOMPARE(doc_->Save(path, &error), CTalloDoc::SaveResult::Saved);
  // Hand encoding: e-acute is byte E9 in Windows-1252; line ends CR LF.
  QCOMPARE(ReadBytes(path), QByteArray("caf\xE9\r\nx=1\r\n"));
  // A load cancelled half way leaves nothing of the restored text.
  QVERIFY(!doc_->Restore(path, format, QString(2 * kLoadPartCharacters, u'y'),
                         [](qint64, qint64) { return false; }));
  QVERIFY(editor_->document()->isEmpty());
  QVERIFY(!doc_->IsModified());
  QVERIFY(doc_->path().isEmpty());
}

QTEST_MAIN(TalloDocTest)
#include "tallo_doc_test.moc"
