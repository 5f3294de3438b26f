// The main window: its menus and toolbar, the title, the save prompt, the recent-file list,
// the file named at start-up and files dropped onto it.

#include "shell/main_frame.h"

#include <QClipboard>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include "shell/app_identity.h"
#include "shell/lock_keys.h"
#include "shell/recent_files.h"
#include "shell/tallo_doc.h"
#include "shell/tallo_view.h"
#include "shell_test_support.h"

using tallo::shell::CMainFrame;
using tallo::shell::testing::MessageBoxAnswer;
using tallo::shell::testing::ReadBytes;
using tallo::shell::testing::WriteBytes;

namespace {

// A menu or toolbar as "text|status tip" per item, "-" for a separator.
QStringList Items(const QList<QAction*>& actions) {
  QStringList items;
  for (const QAction* action : actions) {
    if (action->isSeparator()) {
      items << QStringLiteral("-");
    } else if (action->isVisible()) {
      items << action->text() + u'|' + action->statusTip();
    }
  }
  return items;
}

QMenu* MenuNamed(const CMainFrame& frame, const QString& title) {
  for (QAction* action : frame.menuBar()->actions()) {
    if (action->text() == title) return action->menu();
  }
  return nullptr;
}

QAction* ItemNamed(const CMainFrame& frame, const QString& menu, const QString& text) {
  for (QAction* action : MenuNamed(frame, menu)->actions()) {
    if (action->text() == text) return action;
  }
  return nullptr;
}

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

 public:
  static void initMain() { QStandardPaths::setTestModeEnabled(true); }

 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void MenusHaveTheirItemsInOrder();
  void ShortcutsIncludeTheAlternativeKeys();
  // The keys work in the editor, whether the editor or the menu command takes them.
  void AlternativeEditKeysWork();
  void ToolbarHasItsButtonsInOrder();
  void StatusBarHasTheLockKeyPanes();
  void TitleNamesTheDocument();
  // A modified document is offered for saving; Cancel keeps everything.
  void SavePromptCancelKeepsTheDocument();
  void SavePromptNoDiscards();
  void SavePromptYesSaves();
  void NothingToSaveNoPrompt();
  void FailedSaveReportsTheFileAndReason();
  // Four files, newest first, under "Recent File List/File1" ... "File4".
  void RecentFilesAreKeptInTheSettings();
  void RecentFileMenuOpensItsFiles();
  void StartupFileOpens();
  void UnreadableStartupFileGivesAnEmptyDocument();
  void DroppedFileOpens();

 private:
  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<CMainFrame> frame_;
};

void MainFrameTest::initTestCase() { tallo::shell::SetApplicationIdentity(); }

void MainFrameTest::init() {
  QSettings().clear();
  dir_ = std::make_unique<QTemporaryDir>();
  frame_ = std::make_unique<CMainFrame>();
  frame_->show();
}

void MainFrameTest::cleanup() {
  frame_->document()->SetModified(false);
  frame_.reset();
}

void MainFrameTest::MenusHaveTheirItemsInOrder() {
  QStringList titles;
  for (QAction* menu : frame_->menuBar()->actions()) titles << menu->text();
  QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "Calculation", "&Help"}));
  QCOMPARE(Items(MenuNamed(*frame_, "&File")->actions()),
           (QStringList{
               "&New\tCtrl+N|Create a new document", "&Open...\tCtrl+O|Open an existing document",
               "&Save\tCtrl+S|Save the active document",
               "Save &As...|Save the active document with a new name", "-",
               "&Print...\tCtrl+P|Print the active document", "Print Pre&view|Display full pages",
               "P&rint Setup...|Change the printer and printing options", "-", "Recent File|", "-",
               "E&xit|Quit the application; prompts to save documents"}));
  QCOMPARE(
      Items(MenuNamed(*frame_, "&Edit")->actions()),
      (QStringList{"&Undo\tCtrl+Z|Undo the last action", "-",
                   "Cu&t\tCtrl+X|Cut the selection and put it on the Clipboard",
                   "&Copy\tCtrl+C|Copy the selection and put it on the Clipboard",
                   "&Paste\tCtrl+V|Insert Clipboard contents", "-", "Find|Find the specified text",
                   "Replace|Replace specific text with different text", "-",
                   "Select All|Select the entire document"}));
  QCOMPARE(Items(MenuNamed(*frame_, "&View")->actions()),
           (QStringList{"&Toolbar|Show or hide the toolbar",
                        "&Status Bar|Show or hide the status bar"}));
  QCOMPARE(Items(MenuNamed(*frame_, "Calculation")->actions()),
           (QStringList{"Do Calculation|Calculation"}));
  QCOMPARE(Items(MenuNamed(*frame_, "&Help")->actions()),
           (QStringList{"Format of Functions|",
                        "&About Tallo...|Display program information, version number and "
                        "copyright"}));
  QVERIFY(!ItemNamed(*frame_, "&File", "Recent File")->isEnabled());
}

void MainFrameTest::ShortcutsIncludeTheAlternativeKeys() {
  const auto keys = [this](const QString& menu, const QString& text) {
    QStringList names;
    for (const QKeySequence& key : ItemNamed(*frame_, menu, text)->shortcuts()) {
      names << key.toString();
    }
    return names;
  };
  QCOMPARE(keys("&File", "&New\tCtrl+N"), QStringList{"Ctrl+N"});
  QCOMPARE(keys("&File", "&Open...\tCtrl+O"), QStringList{"Ctrl+O"});
  QCOMPARE(keys("&File", "&Save\tCtrl+S"), QStringList{"Ctrl+S"});
  QCOMPARE(keys("&File", "&Print...\tCtrl+P"), QStringList{"Ctrl+P"});
  QCOMPARE(keys("&Edit", "&Undo\tCtrl+Z"), (QStringList{"Ctrl+Z", "Alt+Backspace"}));
  QCOMPARE(keys("&Edit", "Cu&t\tCtrl+X"), (QStringList{"Ctrl+X", "Shift+Del"}));
  QCOMPARE(keys("&Edit", "&Copy\tCtrl+C"), (QStringList{"Ctrl+C", "Ctrl+Ins"}));
  QCOMPARE(keys("&Edit", "&Paste\tCtrl+V"), (QStringList{"Ctrl+V", "Shift+Ins"}));
}

void MainFrameTest::AlternativeEditKeysWork() {
  frame_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
  QWidget* editor = frame_->view();
  editor->setFocus();
  QTest::keyClicks(editor, QStringLiteral("abc"));
  QTest::keyClick(editor, Qt::Key_Backspace, Qt::AltModifier);
  QCOMPARE(frame_->view()->toPlainText(), QString());
  QTest::keyClicks(editor, QStringLiteral("one two"));
  QTest::keyClick(editor, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);  // "two"
  QTest::keyClick(editor, Qt::Key_Insert, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("two"));
  QTest::keyClick(editor, Qt::Key_Delete, Qt::ShiftModifier);
  QCOMPARE(frame_->view()->toPlainText(), QStringLiteral("one "));
  QTest::keyClick(editor, Qt::Key_Insert, Qt::ShiftModifier);
  QTest::keyClick(editor, Qt::Key_Insert, Qt::ShiftModifier);
  QCOMPARE(frame_->view()->toPlainText(), QStringLiteral("one twotwo"));
}

void MainFrameTest::ToolbarHasItsButtonsInOrder() {
  auto* toolbar = frame_->findChild<QToolBar*>();
  QVERIFY(toolbar != nullptr);
  QStringList tips;
  for (QAction* action : toolbar->actions()) {
    tips << (action->isSeparator() ? QStringLiteral("-") : action->toolTip());
    if (!action->isSeparator()) QVERIFY2(!action->icon().isNull(), qPrintable(action->toolTip()));
  }
  QCOMPARE(tips, (QStringList{"New", "Open", "Save", "-", "Cut", "Copy", "Paste", "-", "Print",
                              "About", "Do Calculation"}));
  QCOMPARE(frame_->toolBarArea(toolbar), Qt::TopToolBarArea);
  QCOMPARE(toolbar->allowedAreas(), Qt::AllToolBarAreas);
  QVERIFY(toolbar->isMovable());
  QVERIFY(!tallo::shell::ApplicationIcon().pixmap(32, 32).isNull());
}

void MainFrameTest::StatusBarHasTheLockKeyPanes() {
  QStatusBar* bar = frame_->statusBar();
  for (const char* name : {"CAP", "NUM", "SCRL"}) {
    auto* pane = bar->findChild<QLabel*>(name);
    QVERIFY2(pane != nullptr, name);
    QCOMPARE(pane->text(), QString::fromLatin1(name));
  }
  // The offscreen platform does not tell the key states: all panes are dimmed.
  if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
    QVERIFY(!tallo::shell::QueryLockKeys().has_value());
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
      QVERIFY(!bar->findChild<QLabel*>(name)->isEnabled());
    }
  }
  auto* panes = bar->findChild<tallo::shell::LockKeyPanes*>();
  QVERIFY(panes != nullptr);
  panes->Show(tallo::shell::LockKeys{true, false, true});
  QVERIFY(bar->findChild<QLabel*>("CAP")->isEnabled());
  QVERIFY(!bar->findChild<QLabel*>("NUM")->isEnabled());
  QVERIFY(bar->findChild<QLabel*>("SCRL")->isEnabled());
  ItemNamed(*frame_, "&View", "&Status Bar")->trigger();
  QVERIFY(bar->isHidden());
}

void MainFrameTest::TitleNamesTheDocument() {
  QCOMPARE(frame_->windowTitle(), QStringLiteral("Untitled[*] - Tallo"));
  WriteBytes(Path("tour.txt"), "1+1=\n");
  QVERIFY(frame_->OpenFile(Path("tour.txt")));
  QCOMPARE(frame_->windowTitle(), QStringLiteral("tour.txt[*] - Tallo"));
  QVERIFY(!frame_->isWindowModified());
  frame_->view()->OnDoCalculation();
  QVERIFY(frame_->isWindowModified());
}

void MainFrameTest::SavePromptCancelKeepsTheDocument() {
  frame_->view()->insertPlainText(QStringLiteral("precious"));
  MessageBoxAnswer answer(QMessageBox::Cancel);
  frame_->OnFileNew();
  QCOMPARE(answer.count(), 1);
  QCOMPARE(answer.text(), QStringLiteral("Save changes to Untitled?"));
  QCOMPARE(frame_->view()->toPlainText(), QStringLiteral("precious"));
  QVERIFY(frame_->document()->IsModified());
  answer.Rearm();
  QVERIFY(!frame_->close());
  QVERIFY(frame_->isVisible());
  answer.Rearm();
  WriteBytes(Path("other.txt"), "other");
  QVERIFY(!frame_->OpenFile(Path("other.txt")));
  QCOMPARE(frame_->view()->toPlainText(), QStringLiteral("precious"));
}

void MainFrameTest::SavePromptNoDiscards() {
  frame_->view()->insertPlainText(QStringLiteral("scratch"));
  MessageBoxAnswer answer(QMessageBox::No);
  frame_->OnFileNew();
  QCOMPARE(answer.count(), 1);
  QVERIFY(frame_->view()->toPlainText().isEmpty());
  QVERIFY(!frame_->document()->IsModified());
}

void MainFrameTest::SavePromptYesSaves() {
  WriteBytes(Path("work.txt"), "x=2\r\n");
  QVERIFY(frame_->OpenFile(Path("work.txt")));
  frame_->view()->moveCursor(QTextCursor::End);
  frame_->view()->insertPlainText(QStringLiteral("x*3="));
  MessageBoxAnswer answer(QMessageBox::Yes);
  QVERIFY(frame_->close());
  QCOMPARE(answer.text(),
           QStringLiteral("Save changes to %1?")
               .arg(QDir::toNativeSeparators(QFileInfo(Path("work.txt")).absoluteFilePath())));
  QCOMPARE(ReadBytes(Path("work.txt")), QByteArray("x=2\r\nx*3="));
}

void MainFrameTest::NothingToSaveNoPrompt() {
  MessageBoxAnswer answer(QMessageBox::Cancel);
  frame_->OnFileNew();
  QVERIFY(frame_->close());
  QCOMPARE(answer.count(), 0);
}

void MainFrameTest::FailedSaveReportsTheFileAndReason() {
  QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("sub")));
  WriteBytes(Path("sub/x.txt"), "1+1=");
  QVERIFY(frame_->OpenFile(Path("sub/x.txt")));
  frame_->view()->OnDoCalculation();
  QVERIFY(QDir(Path("sub")).removeRecursively());  // the folder went away meanwhile
  MessageBoxAnswer answer(QMessageBox::Ok);
  QVERIFY(!frame_->OnFileSave());
  QCOMPARE(answer.count(), 1);
  const QString prefix =
      QStringLiteral("Cannot save %1.\n").arg(QDir::toNativeSeparators(Path("sub/x.txt")));
  QVERIFY2(answer.text().startsWith(prefix) && answer.text().size() > prefix.size(),
           qPrintable(answer.text()));
  QVERIFY(frame_->document()->IsModified());
  QVERIFY(frame_->isWindowModified());
}

void MainFrameTest::RecentFilesAreKeptInTheSettings() {
  QVERIFY(QSettings().fileName().contains(
      QStringLiteral("Local AppWizard-Generated Applications/Tallo")));
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) {
    WriteBytes(Path(name), name);
    QVERIFY(frame_->OpenFile(Path(name)));
  }
  QVERIFY(frame_->OpenFile(Path("c.txt")));  // again: moves to the top
  QSettings settings;
  const auto absolute = [this](const char* name) {
    return QFileInfo(Path(name)).absoluteFilePath();
  };
  QCOMPARE(settings.value("Recent File List/File1").toString(), absolute("c.txt"));
  QCOMPARE(settings.value("Recent File List/File2").toString(), absolute("e.txt"));
  QCOMPARE(settings.value("Recent File List/File3").toString(), absolute("d.txt"));
  QCOMPARE(settings.value("Recent File List/File4").toString(), absolute("b.txt"));
  QVERIFY(!settings.contains("Recent File List/File5"));
}

void MainFrameTest::RecentFileMenuOpensItsFiles() {
  WriteBytes(Path("kept.txt"), "kept");
  WriteBytes(Path("lost.txt"), "lost");
  QVERIFY(frame_->OpenFile(Path("kept.txt")));
  QVERIFY(frame_->OpenFile(Path("lost.txt")));
  QFile::remove(Path("lost.txt"));
  frame_->document()->NewDocument();
  QMenu* file = MenuNamed(*frame_, "&File");
  emit file->aboutToShow();
  const QStringList items = Items(file->actions());
  const int first = items.indexOf(QStringLiteral("-"), 5) + 1;
  QCOMPARE(items.mid(first, 2),
           (QStringList{
               "&1 " + QDir::toNativeSeparators(QFileInfo(Path("lost.txt")).absoluteFilePath()) +
                   "|Open this document",
               "&2 " + QDir::toNativeSeparators(QFileInfo(Path("kept.txt")).absoluteFilePath()) +
                   "|Open this document"}));
  // A file that has gone is reported and leaves the list.
  MessageBoxAnswer answer(QMessageBox::Ok);
  ItemNamed(*frame_, "&File", items[first].section(u'|', 0, 0))->trigger();
  QCOMPARE(answer.count(), 1);
  QCOMPARE(tallo::shell::ReadRecentFiles(),
           QStringList{QFileInfo(Path("kept.txt")).absoluteFilePath()});
  emit file->aboutToShow();
  ItemNamed(*frame_, "&File", Items(file->actions())[first].section(u'|', 0, 0))->trigger();
  QCOMPARE(frame_->view()->toPlainText(), QStringLiteral("kept"));
}

void MainFrameTest::StartupFileOpens() {
  WriteBytes(Path("start.txt"), "x=1\r\n");
  frame_->StartWith(Path("start.txt"));
  QCOMPARE(frame_->view()->toPlainText(), QStringLiteral("x=1\n"));
  QCOMPARE(frame_->windowTitle(), QStringLiteral("start.txt[*] - Tallo"));
}

void MainFrameTest::UnreadableStartupFileGivesAnEmptyDocument() {
  MessageBoxAnswer answer(QMessageBox::Ok);
  frame_->StartWith(Path("missing.txt"));
  QCOMPARE(answer.count(), 1);
  QVERIFY(answer.text().startsWith(
      QStringLiteral("Cannot open %1.\n").arg(QDir::toNativeSeparators(Path("missing.txt")))));
  QVERIFY(frame_->view()->toPlainText().isEmpty());
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
  QCOMPARE(frame_->view()->toPlainText(), QStringLiteral("2*3="));
  QCOMPARE(frame_->windowTitle(), QStringLiteral("dropped.txt[*] - Tallo"));
}

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
