// The main window when files go wrong: saves that fail, work kept across a crash and offered
// again, files that are odd, too large or slow to open.

#include <QDir>
#include <QProcess>
#include <QProgressDialog>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <random>

#include "shell/app_identity.h"
#include "shell/main_frame.h"
#include "shell/recent_files.h"
#include "shell/recovery_copy.h"
#include "shell/tallo_doc.h"
#include "shell/tallo_view.h"
#include "shell_test_support.h"

using tallo::shell::CMainFrame;
using tallo::shell::DecodeRecoveryCopy;
using tallo::shell::DocumentText;
using tallo::shell::RecoveryCopy;
using tallo::shell::testing::MessageBoxAnswer;
using tallo::shell::testing::ReadBytes;
using tallo::shell::testing::SaveFailure;
using tallo::shell::testing::WithSaveFailure;
using tallo::shell::testing::WriteBytes;

Q_DECLARE_METATYPE(SaveFailure)

class MainFrameFilesTest : public QObject {
  Q_OBJECT

 public:
  static void initMain() { QStandardPaths::setTestModeEnabled(true); }

 private slots:
  void initTestCase() { tallo::shell::SetApplicationIdentity(); }
  void init();
  void cleanup();
  // A failed save names the file and the reason; the old file, the modified document and
  // the copy of the unsaved work all stay.
  void FailedSaveKeepsEverything_data();
  void FailedSaveKeepsEverything();
  // The work of an editor killed after it kept a copy is offered at the next start;
  // restored, it is the text as typed, unsaved, of its file, saved in the file's format.
  void CrashedEditorsWorkIsRestored();
  // Copies are offered newest first: Discard deletes one, Later keeps the rest.
  void DiscardDeletesACopyAndLaterKeepsIt();
  void RunningEditorsCopyIsNotOffered();
  void FileChangedSinceTheCopyIsPointedOut();
  // Closing removes the copy once the changes are saved or dropped, not when cancelled.
  void CleanExitRemovesTheCopy();
  // Files that are not text open and calculate; what they hold is written back as it was,
  // with the answers.
  void OddFilesOpenAndCalculate_data();
  void OddFilesOpenAndCalculate();
  void TooLargeFileIsRefused();
  void LongLoadCanBeCancelled();
  void OpenedFileShowsItsStart();

 private:
  QString Path(const QString& name) const { return dir_->filePath(name); }
  QString Folder() const { return dir_->filePath("recovery"); }
  QStringList CopiesInFolder() const {
    return QDir(Folder()).entryList({QStringLiteral("*.recovery")}, QDir::Files);
  }
  QString Text() const { return DocumentText(*frame_->view()->document()); }
  // An editor that ends with text typed and kept in a copy, without closing its window.
  void LeaveCopyOf(const QString& file, const QString& text);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<CMainFrame> frame_;
};

void MainFrameFilesTest::init() {
  QSettings().clear();
  dir_ = std::make_unique<QTemporaryDir>();
  frame_ = std::make_unique<CMainFrame>(nullptr, Folder());
  frame_->show();
}

void MainFrameFilesTest::cleanup() {
  frame_->document()->SetModified(false);
  frame_.reset();
}

void MainFrameFilesTest::LeaveCopyOf(const QString& file, const QString& text) {
  CMainFrame ended(nullptr, Folder());
  if (!file.isEmpty()) ended.StartWith(file);
  ended.view()->moveCursor(QTextCursor::End);
  ended.view()->insertPlainText(text);
  QVERIFY(ended.recovery()->WriteNow());
}

void MainFrameFilesTest::FailedSaveKeepsEverything_data() {
  QTest::addColumn<SaveFailure>("failure");
  QTest::addColumn<QString>("reason");
  // The C library's texts for EACCES and EFBIG, and Qt's for a folder.
  QTest::newRow("read-only folder") << SaveFailure::kReadOnlyFolder << "Permission denied";
  QTest::newRow("target is a folder") << SaveFailure::kFolder << "Filename refers to a directory";
  QTest::newRow("write cut short") << SaveFailure::kFileSizeLimit << "File too large";
}

void MainFrameFilesTest::FailedSaveKeepsEverything() {
  QFETCH(SaveFailure, failure);
  QFETCH(QString, reason);
  QVERIFY(QDir(dir_->path()).mkdir("work"));
  const QString file = Path("work/x.txt");
  WriteBytes(file, "1+1=\n");
  QVERIFY(frame_->OpenFile(file));
  frame_->view()->moveCursor(QTextCursor::End);
  frame_->view()->insertPlainText(QStringLiteral("long=") + QString(20000, u'9'));  // over 4 KB
  frame_->view()->OnDoCalculation();
  QVERIFY(frame_->recovery()->WriteNow());
  MessageBoxAnswer answer(QMessageBox::Ok);
  QVERIFY(!WithSaveFailure(failure, file, [this] { return frame_->OnFileSave(); }));
  QCOMPARE(answer.count(), 1);
  const QString prefix = QStringLiteral("Cannot save %1.\n")
                             .arg(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()));
  QVERIFY2(answer.text().startsWith(prefix), qPrintable(answer.text()));
  QVERIFY2(answer.text().mid(prefix.size()).contains(reason), qPrintable(answer.text()));
  if (failure != SaveFailure::kFolder) QCOMPARE(ReadBytes(file), QByteArray("1+1=\n"));
  QVERIFY(frame_->isWindowModified());
  QCOMPARE(CopiesInFolder().size(), 1);
  const auto copy = DecodeRecoveryCopy(ReadBytes(frame_->recovery()->CopyPath()));
  QVERIFY(copy.has_value());
  QVERIFY(copy->text.startsWith(QStringLiteral("1+1=2\nlong=9999")));  // hand: 1+1 is 2
}

void MainFrameFilesTest::CrashedEditorsWorkIsRestored() {
  WriteBytes(Path("work.txt"), "x=2\r\n");
  QProcess editor;
  editor.start(QStringLiteral(TALLO_CRASH_HELPER), {Path("work.txt"), Folder(), "x*3="});
  QVERIFY(editor.waitForFinished(60000));
  QCOMPARE(editor.exitStatus(), QProcess::CrashExit);
  QCOMPARE(ReadBytes(Path("work.txt")), QByteArray("x=2\r\n"));
  QCOMPARE(CopiesInFolder().size(), 1);

  MessageBoxAnswer answer(QMessageBox::Yes);
  frame_->OfferRecovery();
  QCOMPARE(answer.count(), 1);
  const QString prefix =
      QStringLiteral("Tallo ended without saving the changes to %1. A copy of them from ")
          .arg(QDir::toNativeSeparators(QFileInfo(Path("work.txt")).absoluteFilePath()));
  QVERIFY2(answer.text().startsWith(prefix), qPrintable(answer.text()));
  QVERIFY(answer.text().endsWith(QStringLiteral(" was kept.\nRestore it?")));
  QCOMPARE(Text(), QStringLiteral("x=2\nx*3="));
  QVERIFY(frame_->isWindowModified());
  QCOMPARE(frame_->windowTitle(), QStringLiteral("work.txt[*] - Tallo"));
  QCOMPARE(frame_->view()->textCursor().position(), 0);
  QVERIFY(frame_->OnFileSave());
  QCOMPARE(ReadBytes(Path("work.txt")), QByteArray("x=2\r\nx*3="));  // its CR LF line ends
  QCOMPARE(CopiesInFolder(), QStringList());
}

void MainFrameFilesTest::DiscardDeletesACopyAndLaterKeepsIt() {
  LeaveCopyOf({}, QStringLiteral("older"));
  QTest::qWait(20);  // copies a few milliseconds apart
  LeaveCopyOf({}, QStringLiteral("newer"));
  QCOMPARE(CopiesInFolder().size(), 2);
  MessageBoxAnswer answers({QMessageBox::No, QMessageBox::Cancel});
  frame_->OfferRecovery();
  QCOMPARE(answers.count(), 2);
  QVERIFY(answers.text().startsWith(
      QStringLiteral("Tallo ended without saving the changes to Untitled.")));
  QVERIFY(frame_->view()->document()->isEmpty());
  QVERIFY(!frame_->isWindowModified());
  QCOMPARE(CopiesInFolder().size(), 1);
  // The one kept for later is offered at the next start.
  MessageBoxAnswer restore(QMessageBox::Yes);
  frame_->OfferRecovery();
  QCOMPARE(restore.count(), 1);
  QCOMPARE(Text(), QStringLiteral("older"));
  QCOMPARE(frame_->windowTitle(), QStringLiteral("Untitled[*] - Tallo"));
  QVERIFY(frame_->isWindowModified());
}

void MainFrameFilesTest::RunningEditorsCopyIsNotOffered() {
  CMainFrame other(nullptr, Folder());
  other.view()->insertPlainText(QStringLiteral("in progress"));
  QVERIFY(other.recovery()->WriteNow());
  MessageBoxAnswer answer(QMessageBox::Yes);
  frame_->OfferRecovery();
  QApplication::processEvents();
  QCOMPARE(answer.count(), 0);
  QVERIFY(frame_->view()->document()->isEmpty());
  other.document()->SetModified(false);
}

void MainFrameFilesTest::FileChangedSinceTheCopyIsPointedOut() {
  WriteBytes(Path("shared.txt"), "a=1\n");
  LeaveCopyOf(Path("shared.txt"), QStringLiteral("mean(a)="));
  QFile file(Path("shared.txt"));
  QVERIFY(file.open(QIODevice::ReadWrite));
  QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(3600),
                           QFileDevice::FileModificationTime));
  file.close();
  MessageBoxAnswer answer(QMessageBox::Cancel);
  frame_->OfferRecovery();
  QCOMPARE(answer.count(), 1);
  QCOMPARE(answer.informative_text(),
           QStringLiteral("shared.txt has been changed since the copy was made: saving the "
                          "restored text replaces those changes."));
  QCOMPARE(CopiesInFolder().size(), 1);
}

void MainFrameFilesTest::CleanExitRemovesTheCopy() {
  frame_->view()->insertPlainText(QStringLiteral("draft"));
  QVERIFY(frame_->recovery()->WriteNow());
  MessageBoxAnswer cancel(QMessageBox::Cancel);
  QVERIFY(!frame_->close());
  QCOMPARE(CopiesInFolder().size(), 1);
  MessageBoxAnswer drop(QMessageBox::No);
  QVERIFY(frame_->close());
  QCOMPARE(CopiesInFolder(), QStringList());
  QCOMPARE(QDir(Folder()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void MainFrameFilesTest::OddFilesOpenAndCalculate_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QByteArray>("expected");  // after Do Calculation and Save
  // Hand arithmetic: 1+1 is 2, 2*3 is 6.
  QTest::newRow("nul bytes") << QByteArray("1+1=\0x\n2*3=", 11)
                             << QByteArray("1+1=2\0x\n2*3=6", 13);
  QTest::newRow("not utf-8") << QByteArray("1+1=\xFF\r\n2*3=\x81")
                             << QByteArray("1+1=2\xFF\r\n2*3=6\x81");
  // Noise of every byte but "=" (nothing in it to calculate) and CR (its line ends stay LF).
  std::mt19937 random(7);
  QByteArray noise;
  while (noise.size() < 65536) {
    const char byte = static_cast<char>(random() & 0xFF);
    if (byte != '=' && byte != '\r') noise += byte;
  }
  QTest::newRow("binary noise") << noise + "\n1+1=" << noise + "\n1+1=2";
}

void MainFrameFilesTest::OddFilesOpenAndCalculate() {
  QFETCH(QByteArray, bytes);
  QFETCH(QByteArray, expected);
  WriteBytes(Path("odd.txt"), bytes);
  QVERIFY(frame_->OpenFile(Path("odd.txt")));
  QApplication::processEvents();
  frame_->view()->OnDoCalculation();
  QVERIFY(frame_->OnFileSave());
  QCOMPARE(ReadBytes(Path("odd.txt")), expected);
}

void MainFrameFilesTest::TooLargeFileIsRefused() {
  WriteBytes(Path("kept.txt"), "kept");
  QVERIFY(frame_->OpenFile(Path("kept.txt")));
  {
    QFile large(Path("large.txt"));
    QVERIFY(large.open(QIODevice::WriteOnly));
    QVERIFY(large.resize(tallo::shell::kLargestFileBytes + 1));  // sparse: takes no disk space
  }
  MessageBoxAnswer answer(QMessageBox::Ok);
  QVERIFY(!frame_->OpenFile(Path("large.txt")));
  QCOMPARE(answer.text(), QStringLiteral("Cannot open %1.\nIt holds 129 MB; the editor opens files "
                                         "of up to 128 MB. tallo-calc -i calculates larger "
                                         "worksheets.")
                              .arg(QDir::toNativeSeparators(Path("large.txt"))));
  QCOMPARE(Text(), QStringLiteral("kept"));
  QCOMPARE(frame_->windowTitle(), QStringLiteral("kept.txt[*] - Tallo"));
}

void MainFrameFilesTest::LongLoadCanBeCancelled() {
  // Ten parts of short lines: the progress shows after the first part.
  WriteBytes(Path("big.txt"),
             QByteArray("x=1\n").repeated(10 * tallo::shell::kLoadPartCharacters / 4));
  QString label;
  QTimer cancel;
  QObject::connect(&cancel, &QTimer::timeout, [&] {
    auto* progress = frame_->findChild<QProgressDialog*>();
    if (progress == nullptr || !progress->isVisible()) return;
    label = progress->labelText();
    progress->cancel();
  });
  cancel.start(5);
  MessageBoxAnswer no_message(QMessageBox::Ok);
  QVERIFY(!frame_->OpenFile(Path("big.txt")));
  QCOMPARE(label, QStringLiteral("Opening big.txt..."));
  QCOMPARE(no_message.count(), 0);
  QVERIFY(frame_->view()->document()->isEmpty());
  QCOMPARE(frame_->windowTitle(), QStringLiteral("Untitled[*] - Tallo"));
  QVERIFY(!frame_->isWindowModified());
  QVERIFY(tallo::shell::ReadRecentFiles().isEmpty());
}

void MainFrameFilesTest::OpenedFileShowsItsStart() {
  QByteArray bytes;
  for (int line = 0; line < 500; ++line) bytes += "line " + QByteArray::number(line) + '\n';
  WriteBytes(Path("lines.txt"), bytes);
  QVERIFY(frame_->OpenFile(Path("lines.txt")));
  QApplication::processEvents();
  QCOMPARE(frame_->view()->textCursor().position(), 0);
  QCOMPARE(frame_->view()->verticalScrollBar()->value(), 0);
}

QTEST_MAIN(MainFrameFilesTest)
#include "main_frame_files_test.moc"
