// The main window: its keys, status bar panes and settings, the title and the save prompts, the
// recent-file list, the file named at start-up and files dropped onto it, and its dialogs.

#include "shell/main_frame.h"

#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include "engine/function_list.h"
#include "shell/about_dlg.h"
#include "shell/app_identity.h"
#include "shell/calculation_indicator.h"
#include "shell/find_dialog.h"
#include "shell/help_dlg.h"
#include "shell/lock_keys.h"
#include "shell/recent_files.h"
#include "shell/recovery_copy.h"
#include "shell/tallo_doc.h"
#include "shell/tallo_view.h"
#include "shell_test_support.h"

using namespace tallo::shell;
using namespace tallo::shell::testing;

class MainFrameTest : public QObject {
  Q_OBJECT

 public:
  static void initMain() { QStandardPaths::setTestModeEnabled(true); }

 private slots:
  void initTestCase() { SetApplicationIdentity(); }
  void init();
  void cleanup();
  void KeysReachTheirCommands();
  void FindAndReplaceSayWhatTheyDid();
  // Line and column, line ends and encoding; the lock keys are read again after a key is released
  // in any window of the application, or when it is activated.
  void StatusBarPanesFollowTheDocument();
  // Shown once a calculation takes over half a second; its Cancel stops it.
  void CalculationIndicatorOffersToCancel();
  // The title names the document; prompts name the file, with its whole path in the details.
  void TitleAndSavePrompt();
  void ReadOnlyFileIsReplacedOnlyWhenAsked();
  void FailedSaveNamesTheFileAndReason();
  // Four files, newest first, under "Recent File List/File1" ... "File4"; one that has gone is
  // reported and leaves the list.
  void RecentFilesAreKeptAndOffered();
  void StartupFile();
  void DroppedFileOpens();
  void WindowAndViewKeepTheirSettings();
  void DialogsShowTheirTexts();

 private:
  QString Path(const QString& name) const { return dir_->filePath(name); }
  QString Text() const { return DocumentText(*frame_->view()->document()); }
  // Presses a key in the window and waits for the calculation it may start.
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    frame_->activateWindow();  // the window's shortcuts work while it is active
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    QSignalSpy ended(frame_->view(), &CTalloView::CalculationEnded);
    QTest::keyClick(frame_->view(), static_cast<Qt::Key>(key), modifiers);
    if (frame_->view()->IsCalculating()) QVERIFY(ended.wait());
  }
  QLabel* Pane(const char* name) const { return frame_->statusBar()->findChild<QLabel*>(name); }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<CMainFrame> frame_;
};

void MainFrameTest::init() {
  QSettings().clear();
  dir_ = std::make_unique<QTemporaryDir>();
  frame_ = std::make_unique<CMainFrame>(nullptr, Path("recovery"));
  frame_->show();
  frame_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
  frame_->view()->setFocus();
}

void MainFrameTest::cleanup() {
  frame_->document()->SetModified(false);
  frame_.reset();
}

void MainFrameTest::KeysReachTheirCommands() {
  CTalloView* view = frame_->view();
  QTest::keyClicks(view, QStringLiteral("1+1="));
  Press(Qt::Key_F9);  // hand: 1+1 is 2, 2*3 is 6
  QCOMPARE(Text(), QStringLiteral("1+1=2"));
  Press(Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(Text(), QStringLiteral("1+1="));
  Press(Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(Text(), QStringLiteral("1+1=2"));
  Press(Qt::Key_Backspace, Qt::AltModifier);
  Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(Text(), QStringLiteral("1+1=2"));
  Press(Qt::Key_Return);
  QTest::keyClicks(view, QStringLiteral("2*3="));
  Press(Qt::Key_Return, Qt::ControlModifier);
  QCOMPARE(Text(), QStringLiteral("1+1=2\n2*3=6"));
  // The clipboard's other keys.
  Press(Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);  // "6"
  Press(Qt::Key_Insert, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("6"));
  Press(Qt::Key_Delete, Qt::ShiftModifier);
  Press(Qt::Key_Insert, Qt::ShiftModifier);
  Press(Qt::Key_Insert, Qt::ShiftModifier);
  QCOMPARE(Text(), QStringLiteral("1+1=2\n2*3=66"));
  // Go to Line asks for the line, the current one offered.
  int offered = 0;
  DialogAnswer go_to([&](QDialog* dialog) {
    auto* input = qobject_cast<QInputDialog*>(dialog);
    offered = input->intValue();
    input->setIntValue(1);
    input->accept();
  });
  Press(Qt::Key_G, Qt::ControlModifier);
  QCOMPARE(go_to.count(), 1);
  QCOMPARE(offered, 2);
  QCOMPARE(view->textCursor().position(), 0);
  // Find and Replace open their dialog.
  Press(Qt::Key_F, Qt::ControlModifier);
  auto* find = frame_->findChild<FindDialog*>();
  QVERIFY(find->isVisible());
  QCOMPARE(find->windowTitle(), QStringLiteral("Find"));
  Press(Qt::Key_H, Qt::ControlModifier);
  QCOMPARE(find->windowTitle(), QStringLiteral("Replace"));
  find->hide();
  // Zoom in, out and back.
  for (const auto& [key, zoom] :
       {std::pair{Qt::Key_Plus, 1}, {Qt::Key_Equal, 2}, {Qt::Key_Minus, 1}, {Qt::Key_0, 0}}) {
    Press(key, Qt::ControlModifier);
    QCOMPARE(view->zoom(), zoom);
  }
  // Alt+C opens the Calculation menu.
  Press(Qt::Key_C, Qt::AltModifier);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  QVERIFY(menu != nullptr);
  QCOMPARE(menu->actions().value(0)->text(), QStringLiteral("Do Calculation\tF9"));
  menu->close();
}

void MainFrameTest::FindAndReplaceSayWhatTheyDid() {
  frame_->view()->setPlainText(QStringLiteral("mean(a)= Mean(b)= mean(c)="));
  auto* find = frame_->findChild<FindDialog*>();
  find->ShowReplace();
  const QList<QLineEdit*> fields = find->findChildren<QLineEdit*>();
  fields[0]->setText(QStringLiteral("mean"));
  fields[1]->setText(QStringLiteral("sd"));
  const auto click = [find](const QString& text) {
    for (QPushButton* button : find->findChildren<QPushButton*>()) {
      if (button->text() == text) button->click();
    }
  };
  auto* note = find->findChild<QLabel*>(QStringLiteral("note"));
  QTextCursor end(frame_->view()->document());
  end.movePosition(QTextCursor::End);
  frame_->view()->setTextCursor(end);
  click(QStringLiteral("&Find Next"));
  QCOMPARE(frame_->view()->textCursor().selectionStart(), 0);
  QCOMPARE(note->text(), QStringLiteral("Passed the end of the text and went on from its start."));
  QCOMPARE(frame_->statusBar()->currentMessage(), note->text());
  click(QStringLiteral("&Find Next"));
  QCOMPARE(frame_->view()->textCursor().selectionStart(), 9);
  QVERIFY(note->text().isEmpty());
  click(QStringLiteral("Replace &All"));
  QCOMPARE(Text(), QStringLiteral("sd(a)= sd(b)= sd(c)="));
  QCOMPARE(note->text(), QStringLiteral("Replaced 3 occurrences."));
  MessageBoxAnswer not_found(QMessageBox::Ok);
  click(QStringLiteral("Replace &All"));
  QCOMPARE(not_found.count(), 1);
  QCOMPARE(not_found.text(), QStringLiteral("Cannot find \"mean\"."));
}

void MainFrameTest::StatusBarPanesFollowTheDocument() {
  QCOMPARE(Pane("caret")->text(), QStringLiteral("Ln 1, Col 1"));
  QTest::keyClicks(frame_->view(), QStringLiteral("ab"));
  Press(Qt::Key_Return);
  QTest::keyClicks(frame_->view(), QStringLiteral("cde"));
  QCOMPARE(Pane("caret")->text(), QStringLiteral("Ln 2, Col 4"));
  const QList<std::pair<QByteArray, QString>> files = {
      {"\xEF\xBB\xBFx\r\n", "CR LF UTF-8 with BOM"},
      {"caf\xE9\r", "CR Windows-1252"},
      {"x\n", "LF UTF-8"}};
  for (const auto& [bytes, panes] : files) {
    WriteBytes(Path("f.txt"), bytes);
    frame_->document()->SetModified(false);
    QVERIFY(frame_->OpenFile(Path("f.txt")));
    QCOMPARE(Pane("lineEnd")->text() + u' ' + Pane("encoding")->text(), panes);
  }
  QStatusBar* bar = frame_->statusBar();
  auto* keys = bar->findChild<LockKeyPanes*>();
  const auto lit = [this] {
    return QStringList{Pane("CAP")->isEnabled() ? "CAP" : "", Pane("NUM")->isEnabled() ? "NUM" : "",
                       Pane("SCRL")->isEnabled() ? "SCRL" : ""}
        .join(u' ');
  };
  keys->Show(LockKeys{true, false, true});
  QCOMPARE(lit(), QStringLiteral("CAP  SCRL"));
  // The offscreen platform does not tell the keys: read again, all are dimmed.
  QVERIFY(!QueryLockKeys().has_value());
  QTest::keyRelease(frame_->view(), Qt::Key_A);  // a widget's copy of the event: not read again
  QCOMPARE(lit(), QStringLiteral("CAP  SCRL"));
  QTest::keyRelease(frame_->windowHandle(), Qt::Key_A);
  QCOMPARE(lit(), QStringLiteral("  "));
  keys->Show(LockKeys{false, true, false});
  QTest::keyPress(frame_->windowHandle(), Qt::Key_A);
  QCOMPARE(lit(), QStringLiteral(" NUM "));
  QEvent activated(QEvent::ApplicationActivate);
  QApplication::sendEvent(qApp, &activated);
  QCOMPARE(lit(), QStringLiteral("  "));
}

void MainFrameTest::CalculationIndicatorOffersToCancel() {
  auto* indicator = frame_->statusBar()->findChild<CalculationIndicator*>();
  CTalloView* view = frame_->view();
  emit view->CalculationStarted();
  QTest::qWait(CalculationIndicator::kDelayMilliseconds / 2);
  QVERIFY(!indicator->isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(indicator->isVisible(), CalculationIndicator::kDelayMilliseconds);
  emit view->CalculationEnded(true);
  QVERIFY(!indicator->isVisible());
  view->setPlainText(QStringLiteral("1+1="));
  view->OnDoCalculation();
  indicator->findChild<QPushButton*>()->click();
  QVERIFY(!view->IsCalculating());
  QCOMPARE(frame_->statusBar()->currentMessage(), QStringLiteral("The calculation was cancelled."));
  QTest::qWait(100);
  QCOMPARE(Text(), QStringLiteral("1+1="));
}

void MainFrameTest::TitleAndSavePrompt() {
  QCOMPARE(frame_->windowTitle(), QStringLiteral("Untitled[*] - Tallo"));
  WriteBytes(Path("work.txt"), "x=2\r\n");
  QVERIFY(frame_->OpenFile(Path("work.txt")));
  QCOMPARE(frame_->windowTitle(), QStringLiteral("work.txt[*] - Tallo"));
  QVERIFY(!frame_->isWindowModified());
  frame_->view()->moveCursor(QTextCursor::End);
  frame_->view()->insertPlainText(QStringLiteral("x*3="));
  QVERIFY(frame_->isWindowModified());
  {
    MessageBoxAnswer cancel(QMessageBox::Cancel);
    frame_->OnFileNew();
    QVERIFY(!frame_->close());
    QCOMPARE(cancel.count(), 2);
    QCOMPARE(cancel.text(), QStringLiteral("Save changes to work.txt?"));
    QCOMPARE(cancel.details(),
             QDir::toNativeSeparators(QFileInfo(Path("work.txt")).absoluteFilePath()));
    QCOMPARE(Text(), QStringLiteral("x=2\nx*3="));
  }
  {
    MessageBoxAnswer yes(QMessageBox::Yes);
    QVERIFY(frame_->close());
    QCOMPARE(ReadBytes(Path("work.txt")), QByteArray("x=2\r\nx*3="));
  }
  frame_->view()->insertPlainText(QStringLiteral("scratch"));
  MessageBoxAnswer no(QMessageBox::No);
  frame_->OnFileNew();
  QCOMPARE(no.count(), 1);
  QVERIFY(Text().isEmpty() && !frame_->isWindowModified());
  QCOMPARE(frame_->windowTitle(), QStringLiteral("Untitled[*] - Tallo"));
  QVERIFY(frame_->close());  // nothing to save: no prompt
  QCOMPARE(no.count(), 1);
}

void MainFrameTest::ReadOnlyFileIsReplacedOnlyWhenAsked() {
  WriteBytes(Path("fixed.txt"), "1+1=\n");
  SetMode(Path("fixed.txt"), 0444);
  QVERIFY(frame_->OpenFile(Path("fixed.txt")));
  frame_->view()->insertPlainText(QStringLiteral("x=1\n"));
  MessageBoxAnswer answers({QMessageBox::Cancel, QMessageBox::Yes});
  QVERIFY(!frame_->OnFileSave());
  QCOMPARE(answers.text(),
           QStringLiteral("fixed.txt is read-only.\nReplace it anyway? It stays read-only."));
  QCOMPARE(ReadBytes(Path("fixed.txt")), QByteArray("1+1=\n"));
  QVERIFY(frame_->isWindowModified());
  QVERIFY(frame_->OnFileSave());
  QCOMPARE(answers.count(), 2);
  QCOMPARE(ReadBytes(Path("fixed.txt")), QByteArray("x=1\n1+1=\n"));
  QCOMPARE(ModeOf(Path("fixed.txt")), mode_t{0444});
}

void MainFrameTest::FailedSaveNamesTheFileAndReason() {
  QVERIFY(QDir(dir_->path()).mkdir("work"));
  const QString file = Path("work/x.txt");
  WriteBytes(file, "1+1=\n");
  QVERIFY(frame_->OpenFile(file));
  frame_->view()->insertPlainText(QStringLiteral("long=") + QString(20000, u'9'));  // over 4 KB
  QVERIFY(frame_->recovery()->WriteNow());
  MessageBoxAnswer answer(QMessageBox::Ok);
  QVERIFY(
      !WithSaveFailure(SaveFailure::kFileSizeLimit, file, [this] { return frame_->OnFileSave(); }));
  QCOMPARE(answer.text(), QStringLiteral("Cannot save x.txt.\nFile too large"));  // EFBIG
  QCOMPARE(answer.details(), QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()));
  QCOMPARE(ReadBytes(file), QByteArray("1+1=\n"));
  QVERIFY(frame_->isWindowModified());
  QVERIFY(QFile::exists(frame_->recovery()->CopyPath()));  // the unsaved work is still kept
}

void MainFrameTest::RecentFilesAreKeptAndOffered() {
  QVERIFY(QSettings().fileName().contains(
      QStringLiteral("Local AppWizard-Generated Applications/Tallo")));
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) {
    WriteBytes(Path(name), name);
    QVERIFY(frame_->OpenFile(Path(name)));
  }
  QVERIFY(frame_->OpenFile(Path("c.txt")));  // again: moves to the top
  const auto absolute = [this](const char* name) {
    return QFileInfo(Path(name)).absoluteFilePath();
  };
  QSettings settings;
  QCOMPARE(settings.value("Recent File List/File1").toString(), absolute("c.txt"));
  QCOMPARE(settings.value("Recent File List/File2").toString(), absolute("e.txt"));
  QCOMPARE(settings.value("Recent File List/File3").toString(), absolute("d.txt"));
  QCOMPARE(settings.value("Recent File List/File4").toString(), absolute("b.txt"));
  QVERIFY(!settings.contains("Recent File List/File5"));
  QFile::remove(Path("e.txt"));
  QMenu* file = frame_->findChild<QMenu*>();
  emit file->aboutToShow();
  QStringList shown;
  QAction* second = nullptr;
  for (QAction* action : file->actions()) {
    if (!action->isVisible() || !action->data().isValid()) continue;  // the entries hold paths
    shown << action->text();
    if (shown.size() == 2) second = action;
  }
  QCOMPARE(shown, (QStringList{"&1 " + QDir::toNativeSeparators(absolute("c.txt")),
                               "&2 " + QDir::toNativeSeparators(absolute("e.txt")),
                               "&3 " + QDir::toNativeSeparators(absolute("d.txt")),
                               "&4 " + QDir::toNativeSeparators(absolute("b.txt"))}));
  MessageBoxAnswer gone(QMessageBox::Ok);
  second->trigger();
  QCOMPARE(gone.text(), QStringLiteral("Cannot open e.txt.\nNo such file or directory"));
  QCOMPARE(ReadRecentFiles(),
           (QStringList{absolute("c.txt"), absolute("d.txt"), absolute("b.txt")}));
}

void MainFrameTest::StartupFile() {
  WriteBytes(Path("start.txt"), "x=1\r\n");
  frame_->StartWith(Path("start.txt"));
  QCOMPARE(Text(), QStringLiteral("x=1\n"));
  QCOMPARE(frame_->windowTitle(), QStringLiteral("start.txt[*] - Tallo"));
  // A file that does not exist yet: an empty document of its name, which saving makes.
  MessageBoxAnswer answer(QMessageBox::Ok);
  frame_->StartWith(Path("new.txt"));
  QVERIFY(Text().isEmpty() && !frame_->isWindowModified());
  QCOMPARE(frame_->windowTitle(), QStringLiteral("new.txt[*] - Tallo"));
  frame_->view()->insertPlainText(QStringLiteral("2*3="));
  QVERIFY(frame_->OnFileSave());
  QCOMPARE(ReadBytes(Path("new.txt")), QByteArray("2*3="));
  QCOMPARE(answer.count(), 0);
  // One that cannot be read is reported, and an empty document opened instead.
  frame_->StartWith(dir_->path());
  QCOMPARE(answer.count(), 1);
  QCOMPARE(
      answer.text(),
      QStringLiteral("Cannot open %1.\nIt is a folder.").arg(QFileInfo(dir_->path()).fileName()));
  QVERIFY(Text().isEmpty());
  QCOMPARE(frame_->windowTitle(), QStringLiteral("Untitled[*] - Tallo"));
}

void MainFrameTest::DroppedFileOpens() {
  WriteBytes(Path("dropped.txt"), "2*3=");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(Path("dropped.txt"))});
  // A drop goes to the widget that accepted the drag when it entered.
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(frame_->view()->viewport(), &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(frame_->view()->viewport(), &drop);
  QCOMPARE(Text(), QStringLiteral("2*3="));
  QCOMPARE(frame_->windowTitle(), QStringLiteral("dropped.txt[*] - Tallo"));
}

void MainFrameTest::WindowAndViewKeepTheirSettings() {
  // The first window fits the screen.
  QVERIFY(frame_->screen()->availableGeometry().contains(frame_->frameGeometry()));
  frame_->resize(500, 400);
  auto* toolbar = frame_->findChild<QToolBar*>();
  frame_->addToolBar(Qt::LeftToolBarArea, toolbar);
  CTalloView* view = frame_->view();
  QFont font = view->TextFont();
  font.setPointSize(15);
  view->SetTextFont(font);
  view->ZoomIn();
  for (QAction* action : frame_->findChildren<QAction*>()) {
    if (action->text() == QStringLiteral("&Align Columns")) action->trigger();
  }
  view->SetTabColumns(4);
  QVERIFY(frame_->close());
  frame_ = std::make_unique<CMainFrame>(nullptr, Path("recovery"));
  QCOMPARE(frame_->size(), QSize(500, 400));
  QCOMPARE(frame_->toolBarArea(frame_->findChild<QToolBar*>()), Qt::LeftToolBarArea);
  QCOMPARE(frame_->view()->TextFont().pointSize(), 15);
  QCOMPARE(frame_->view()->zoom(), 1);
  QVERIFY(!frame_->view()->AlignsColumns());
  QCOMPARE(frame_->view()->TabColumns(), 4);
}

void MainFrameTest::DialogsShowTheirTexts() {
  // Format of Functions shows the list the engine gives, line by line.
  HelpDlg help;
  auto* list = help.findChild<QPlainTextEdit*>();
  QVERIFY(list->isReadOnly());
  const std::string_view engine_list = tallo::FunctionListText();
  QCOMPARE(list->toPlainText() + QStringLiteral("\n"),
           QString::fromUtf8(engine_list.data(), engine_list.size()).replace("\r\n", "\n"));
  CAboutDlg about;
  QStringList texts;
  for (const QLabel* label : about.findChildren<QLabel*>()) texts << label->text();
  QVERIFY(texts.contains(QStringLiteral("Tallo Version 2.3.1")));
  // Both open over the main window, in its middle.
  DialogAnswer centred([this](QDialog* dialog) {
    QVERIFY(
        (dialog->frameGeometry().center() - frame_->frameGeometry().center()).manhattanLength() <
        20);
    dialog->accept();
  });
  frame_->view()->OnFormatOfFunctions();
  frame_->OnAppAbout();
  QCOMPARE(centred.count(), 2);
}

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
