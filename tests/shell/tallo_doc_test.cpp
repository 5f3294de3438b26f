// The document: files opened and saved byte for byte, the modified flag, failed saves.

#include "shell/tallo_doc.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <csignal>

#include "shell_test_support.h"

using tallo::shell::CTalloDoc;
using tallo::shell::DocumentText;
using tallo::shell::testing::ReadBytes;
using tallo::shell::testing::WriteBytes;

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
  void FailedSaveKeepsTheOldFile();
  void SaveIntoMissingFolderFails();
  void UnreadableFileLeavesTheDocumentAlone();
  void CharactersOutsideAnEightBitFileNeedUtf8();

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
  QTest::newRow("nul and paragraph separator") << QByteArray(
      "a\0b\xE2\x80\xA9"
      "c",
      7);
}

void TalloDocTest::UneditedFilesAreWrittenBackUnchanged() {
  QFETCH(QByteArray, bytes);
  WriteBytes(Path("in.txt"), bytes);
  QString error;
  QVERIFY(doc_->Open(Path("in.txt"), &error));
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
  QVERIFY(doc_->Open(Path("in.txt"), &error));
  Append(QStringLiteral("y=2\n"));
  QCOMPARE(doc_->Save(Path("in.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(ReadBytes(Path("in.txt")), expected);
}

void TalloDocTest::NoBreakSpacesSurviveAnEdit() {
  WriteBytes(Path("in.txt"), QByteArray("a\xC2\xA0"
                                        "b\n"));
  QString error;
  QVERIFY(doc_->Open(Path("in.txt"), &error));
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
  QVERIFY(doc_->Open(Path("in.txt"), &error));
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
  QVERIFY(doc_->Open(Path("in.txt"), &error));
  Append(QStringLiteral("b"));
  QCOMPARE(doc_->Save(Path("in.txt"), &error), CTalloDoc::SaveResult::Saved);
  struct stat info {};
  QCOMPARE(stat(QFile::encodeName(Path("in.txt")).constData(), &info), 0);
  QCOMPARE(info.st_mode & 0777, 0640u);
}

void TalloDocTest::FailedSaveKeepsTheOldFile() {
  // A file-size limit makes the write fail as a full disk would, even for root.
  const QByteArray old("old=1\n");
  WriteBytes(Path("in.txt"), old);
  QString error;
  QVERIFY(doc_->Open(Path("in.txt"), &error));
  Append(QString(20000, u'x'));
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  const CTalloDoc::SaveResult result = doc_->Save(Path("in.txt"), &error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous_handler);
  QCOMPARE(result, CTalloDoc::SaveResult::Failed);
  QVERIFY2(!error.isEmpty(), "the reason is told");
  QCOMPARE(ReadBytes(Path("in.txt")), old);
  QVERIFY(doc_->IsModified());
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"in.txt"});  // no leftovers
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
  QVERIFY(!doc_->Open(Path("missing.txt"), &error));
  QVERIFY(!error.isEmpty());
  QVERIFY(!doc_->Open(dir_->path(), &error));  // a folder
  QCOMPARE(editor_->toPlainText(), QStringLiteral("kept"));
  QVERIFY(doc_->IsModified());
}

void TalloDocTest::CharactersOutsideAnEightBitFileNeedUtf8() {
  const QByteArray old("caf\xE9\n");
  WriteBytes(Path("in.txt"), old);
  QString error;
  QVERIFY(doc_->Open(Path("in.txt"), &error));
  Append(QStringLiteral("x \u2265 1\n"));
  QCOMPARE(doc_->Save(Path("in.txt"), &error), CTalloDoc::SaveResult::NotEncodable);
  QCOMPARE(ReadBytes(Path("in.txt")), old);
  doc_->ConvertToUtf8();
  QCOMPARE(doc_->Save(Path("in.txt"), &error), CTalloDoc::SaveResult::Saved);
  QCOMPARE(ReadBytes(Path("in.txt")), QByteArray("caf\xC3\xA9\nx \xE2\x89\xA5 1\n"));
}

QTEST_MAIN(TalloDocTest)
#include "tallo_doc_test.moc"
