// The main window: keys, status bar, settings, prompts, recent files, files given, dropped or odd,
// unsaved work offered again, dialogs, and printing within the margins of Print Setup.

#include "shell/main_frame.h"

#include <QtPrintSupport>

#include "engine/function_list.h"
#include "shell/about_dlg.h"
#include "shell/app_identity.h"
#include "shell/calculation_indicator.h"
#include "shell/find_dialog.h"
#include "shell/help_dlg.h"
#include "shell/lock_keys.h"
#include "shell/print_commands.h"
#include "shell/print_setup_dialog.h"
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
  void init() {
    QSettings().clear();
    dir_ = std::make_unique<QTemporaryDir>();
    frame_ = std::make_unique<CMainFrame>(nullptr, Path("recovery"));
    frame_->show();
    frame_->view()->setFocus();
  }
  void cleanup() {
    frame_->document()->SetModified(false);
    frame_.reset();
  }
  void KeysReachTheirCommands() {
    CTalloView* view = frame_->view();
    const auto enabled = [this] {
      QString on;  // of Undo, Redo, Cut, Copy and Tab Width, offered only when they can work
      for (const char* name : {"&Undo", "&Redo", "Cu&t", "&Copy", "Tab &Width"}) {
        on += Action(name)->isEnabled() ? "1" : "0";
      }
      return on;
    };
    QCOMPARE(enabled(), QStringLiteral("00000"));
    for (const QStringList& row : CaseRows("keys.tsv", 2)) {
      if (row[0].startsWith(u'"')) {
        QTest::keyClicks(view, row[0].mid(1).chopped(1));
      } else {
        const QKeyCombination key = QKeySequence(row[0])[0];
        Press(key.key(), key.keyboardModifiers());
      }
      if (row[1] != "-") QCOMPARE(Text(), row[1]);
    }
    QCOMPARE(enabled(), QStringLiteral("10000"));  // nothing selected now
    // Go to Line asks for the line, the current one offered.
    int offered = 0;
    DialogAnswer go_to([&](QDialog* dialog) {
      auto* input = qobject_cast<QInputDialog*>(dialog);
      offered = input->intValue();
      QCOMPARE(input->intStep(), 1);  // the arrow keys go a line at a time
      input->setIntValue(1);
      input->accept();
    });
    Press(Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(offered, 2);
    QCOMPARE(view->textCursor().position(), 0);
    // Find and Replace open their dialog; the zoom keys zoom.
    Press(Qt::Key_F, Qt::ControlModifier);
    auto* find = frame_->findChild<FindDialog*>();
    QVERIFY(find->isVisible());
    QCOMPARE(find->windowTitle(), QStringLiteral("Find"));
    const auto checked = [find] {
      QString names;
      for (QRadioButton* each : find->findChildren<QRadioButton*>()) {
        if (each->isChecked()) names += each->text();
      }
      return names;
    };
    QCOMPARE(checked(), QStringLiteral("&Down"));  // it searches down, and shows so
    Press(Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(find->windowTitle(), QStringLiteral("Replace"));
    find->hide();
    for (const auto& [key, zoom] :
         {std::pair{Qt::Key_Plus, 1}, {Qt::Key_Equal, 2}, {Qt::Key_Minus, 1}, {Qt::Key_0, 0}}) {
      Press(key, Qt::ControlModifier);
      QCOMPARE(view->zoom(), zoom);
    }
    Press(Qt::Key_C, Qt::AltModifier);  // opens the Calculation menu
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QCOMPARE(menu->actions().value(0)->text(), QStringLiteral("Do Calculation\tF9"));
    menu->close();
  }
  // Find Next with the dialog's options, and what it says: a note when it went round the end of
  // the text (its start, searching up), a message when nothing was found.
  void FindNextThroughTheDialog_data() { AddCaseRows("searches.tsv", 5); }
  void FindNextThroughTheDialog() {
    const auto [text, caret, options, start, found] = Fields<5>();
    frame_->view()->setPlainText(QStringLiteral("mean(a)= Mean(b)= meant(c)= mean(d)="));
    QTextCursor cursor(frame_->view()->document());
    cursor.setPosition(caret.toInt());
    frame_->view()->setTextCursor(cursor);
    auto* find = frame_->findChild<FindDialog*>();
    find->ShowFind();
    find->findChild<QLineEdit*>()->setText(text);
    for (QAbstractButton* option : find->findChildren<QAbstractButton*>()) {
      const QString name = option->text();
      if (name == "Match &case") option->setChecked(options.contains(u'c'));
      if (name == "Match &whole word only") option->setChecked(options.contains(u'w'));
      if (name == (options.contains(u'b') ? "&Up" : "&Down")) option->setChecked(true);
    }
    MessageBoxAnswer none(QMessageBox::Ok);
    Click(find, "&Find Next");
    const int at = start.toInt() < 0 ? caret.toInt() : start.toInt();
    QCOMPARE(frame_->view()->textCursor().selectionStart(), at);
    QCOMPARE(frame_->view()->textCursor().selectionEnd(),
             start.toInt() < 0 ? at : at + text.size());
    const QString note = find->findChild<QLabel*>(QStringLiteral("note"))->text();
    QCOMPARE(note.isEmpty(), found != "round the end");
    QCOMPARE(note.contains(options.contains(u'b') ? "start of the text" : "end of the text"),
             !note.isEmpty());
    QCOMPARE(none.count(), found == "none" ? 1 : 0);
    if (found == "none") QCOMPARE(none.text(), "Cannot find \"" + text + "\".");
  }
  // F3 finds the last search's next match, Shift+F3 the one before, whichever way the dialog went.
  void FindAgainGoesBothWays() {
    frame_->view()->setPlainText(QStringLiteral("mean(a)= Mean(b)= meant(c)= mean(d)="));
    auto* find = frame_->findChild<FindDialog*>();
    find->ShowFind();
    find->findChild<QLineEdit*>()->setText(QStringLiteral("mean"));
    Click(find, "&Find Next");
    for (const auto& [key, modifiers, start] :
         {std::tuple{Qt::Key_F3, Qt::NoModifier, 9}, {Qt::Key_F3, Qt::NoModifier, 18},
          {Qt::Key_F3, Qt::ShiftModifier, 9}}) {
      Press(key, modifiers);
      QCOMPARE(frame_->view()->textCursor().selectionStart(), start);
    }
  }
  // Replace changes only a selected match; Replace All is one undoable edit, says how many it
  // replaced and does not replace again what it put in.
  void FindAndReplaceSayWhatTheyDid() {
    const QString before = QStringLiteral("mean(a)= Mean(b)= meant(c)= mean(d)=");
    frame_->view()->setPlainText(before);
    frame_->view()->moveCursor(QTextCursor::NextCharacter);
    auto* find = frame_->findChild<FindDialog*>();
    find->ShowReplace();
    const auto enabled = [find] {
      return std::ranges::count_if(find->findChildren<QPushButton*>(), &QWidget::isEnabled);
    };
    QCOMPARE(enabled(), 1);  // Cancel: nothing to find yet
    find->findChildren<QLineEdit*>()[0]->setText(QStringLiteral("mean"));
    QCOMPARE(enabled(), 4);
    find->findChildren<QLineEdit*>()[1]->setText(QStringLiteral("sd"));
    Click(find, "&Replace");  // nothing selected: it only finds
    QCOMPARE(frame_->view()->textCursor().selectionStart(), 9);
    Click(find, "&Replace");
    QCOMPARE(Text(), QStringLiteral("mean(a)= sd(b)= meant(c)= mean(d)="));
    QCOMPARE(frame_->view()->textCursor().selectionStart(), 16);
    QCOMPARE(frame_->statusBar()->currentMessage(), QString());
    Click(find, "Replace &All");
    QCOMPARE(Text(), QStringLiteral("sd(a)= sd(b)= sdt(c)= sd(d)="));
    QCOMPARE(find->findChild<QLabel*>(QStringLiteral("note"))->text(), "Replaced 3 occurrences.");
    QCOMPARE(frame_->statusBar()->currentMessage(), "Replaced 3 occurrences.");
    frame_->view()->undo();
    QCOMPARE(Text(), QStringLiteral("mean(a)= sd(b)= meant(c)= mean(d)="));
    // Enter is Find Next wherever the focus is in the dialog, never a replacement.
    for (QPushButton* each : find->findChildren<QPushButton*>()) {
      if (each->text() == "Replace &All") QTest::keyClick(each, Qt::Key_Return);
    }
    QCOMPARE(Text(), QStringLiteral("mean(a)= sd(b)= meant(c)= mean(d)="));
    QCOMPARE(frame_->view()->textCursor().selectionStart(), 16);  // "meant"
    QCOMPARE(frame_->view()->textCursor().selectionEnd(), 20);
    find->findChildren<QLineEdit*>()[0]->setText(QStringLiteral("sd"));
    find->findChildren<QLineEdit*>()[1]->setText(QStringLiteral("sdsd"));
    Click(find, "Replace &All");
    QCOMPARE(Text(), QStringLiteral("mean(a)= sdsd(b)= meant(c)= mean(d)="));
    QCOMPARE(find->findChild<QLabel*>(QStringLiteral("note"))->text(), "Replaced 1 occurrence.");
    // Opened again, the dialog takes the selected text when it is on one line.
    QTextCursor word(frame_->view()->document());
    word.setPosition(4, QTextCursor::KeepAnchor);
    frame_->view()->setTextCursor(word);
    find->ShowFind();
    QCOMPARE(find->findChild<QLineEdit*>()->text(), QStringLiteral("mean"));
    frame_->view()->setPlainText(QStringLiteral("a\nb"));
    find->ShowFind();  // nothing selected
    frame_->view()->selectAll();
    find->ShowFind();  // two lines
    QCOMPARE(find->findChild<QLineEdit*>()->text(), QStringLiteral("mean"));
  }
  // Line and column, line ends and encoding; the lock keys are read again after a key is released
  // in any window of the application, or when it is activated.
  void StatusBarPanesFollowTheDocument() {
    QCOMPARE(Pane("caret")->text(), QStringLiteral("Ln 1, Col 1"));
    QTest::keyClicks(frame_->view(), QStringLiteral("ab"));
    Press(Qt::Key_Return);
    QTest::keyClicks(frame_->view(), QStringLiteral("cde"));
    QCOMPARE(Pane("caret")->text(), QStringLiteral("Ln 2, Col 4"));
    // An answer at the caret moves it on; the pane follows when the answers are in.
    Press(Qt::Key_Return);
    QTest::keyClicks(frame_->view(), QStringLiteral("1+1="));
    QVERIFY(frame_->view()->CalculateAndWait());
    QCOMPARE(Pane("caret")->text(), QStringLiteral("Ln 3, Col 6"));
    frame_->document()->SetModified(false);
    for (const auto& [bytes, panes] :
         {std::pair<QByteArray, QString>{"\xEF\xBB\xBFx\r\n", "CR LF UTF-8 with BOM"},
          {"caf\xE9\r", "CR Windows-1252"},
          {"x\n", "LF UTF-8"}}) {
      WriteBytes(Path("f.txt"), bytes);
      QVERIFY(frame_->OpenFile(Path("f.txt")));
      QCOMPARE(Pane("lineEnd")->text() + u' ' + Pane("encoding")->text(), panes);
    }
    // The lock keys: lit as shown; read again (the offscreen platform does not tell them: all
    // dimmed) after a key released in a window, not in a widget, or the application activated.
    QVERIFY(!QueryLockKeys().has_value());
    const auto lit_after = [this](const LockKeys& keys, QObject* receiver, QEvent::Type event) {
      frame_->statusBar()->findChild<LockKeyPanes*>()->Show(keys);
      QKeyEvent key(event, Qt::Key_A, Qt::NoModifier);
      QApplication::sendEvent(receiver, &key);
      QString on;
      for (const char* name : {"CAP", "NUM", "SCRL"}) on += Pane(name)->isEnabled() ? name : "-";
      return on;
    };
    QCOMPARE(lit_after({true, false, true}, frame_->view(), QEvent::KeyRelease), "CAP-SCRL");
    QCOMPARE(lit_after({true, false, true}, frame_->windowHandle(), QEvent::KeyRelease), "---");
    QCOMPARE(lit_after({false, true, false}, frame_->windowHandle(), QEvent::KeyPress), "-NUM-");
    QCOMPARE(lit_after({false, true, false}, qApp, QEvent::ApplicationActivate), "---");
    // View > Status Bar hides it, and shows it again.
    for (const bool hidden : {true, false}) {
      Action("&Status Bar")->trigger();
      QCOMPARE(frame_->statusBar()->isHidden(), hidden);
    }
  }
  // Shown once a calculation takes over half a second; its Cancel stops it.
  void CalculationIndicatorOffersToCancel() {
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
    QCOMPARE(frame_->statusBar()->currentMessage(),
             QStringLiteral("The calculation was cancelled."));
    QTest::qWait(100);
    QCOMPARE(Text(), QStringLiteral("1+1="));
  }
  // The title names the document; prompts name the file, with its whole path in the details.
  void TitleAndSavePrompt() {
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Untitled[*] - Tallo"));
    WriteBytes(Path("work.txt"), "x=2\r\n");
    QVERIFY(frame_->OpenFile(Path("work.txt")));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("work.txt[*] - Tallo"));
    frame_->view()->moveCursor(QTextCursor::End);
    frame_->view()->insertPlainText(QStringLiteral("x*3="));
    MessageBoxAnswer answers(
        {QMessageBox::Cancel, QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No});
    frame_->OnFileNew();
    QVERIFY(!frame_->close());
    QCOMPARE(answers.text(), QStringLiteral("Save changes to work.txt?"));
    QCOMPARE(answers.details(), FullPath("work.txt"));
    QCOMPARE(Text(), QStringLiteral("x=2\nx*3="));
    QVERIFY(frame_->close());  // Yes
    QCOMPARE(ReadBytes(Path("work.txt")), QByteArray("x=2\r\nx*3="));
    frame_->view()->insertPlainText(QStringLiteral("scratch"));
    frame_->OnFileNew();  // No
    QVERIFY(Text().isEmpty() && !frame_->isWindowModified());
    QVERIFY(frame_->close());  // nothing to save: no prompt
    QCOMPARE(answers.count(), 4);
  }
  // A read-only file is replaced only when asked, and stays read-only; a failed save names the
  // file and the reason, and the unsaved work stays, in the window and in its copy.
  void SavingAsksAndReports() {
    QVERIFY(QDir(dir_->path()).mkdir("work"));
    const QString file = Path("work/x.txt");
    WriteBytes(file, "caf\xE9\n");  // Windows-1252
    SetMode(file, 0444);
    QVERIFY(frame_->OpenFile(file));
    frame_->view()->insertPlainText(QStringLiteral("x \u2265 1\n"));  // no byte in Windows-1252
    MessageBoxAnswer answers({QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No,
                              QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok});
    QVERIFY(!frame_->OnFileSave());
    QCOMPARE(answers.text(), "x.txt is read-only.\nReplace it anyway? It stays read-only.");
    QCOMPARE(answers.details(), FullPath("work/x.txt"));
    QVERIFY(!frame_->OnFileSave());  // Yes, then No to saving in UTF-8
    QVERIFY(answers.text().startsWith("x.txt is not a UTF-8 file, and some characters"));
    QCOMPARE(ReadBytes(file), QByteArray("caf\xE9\n"));
    QVERIFY(frame_->OnFileSave());
    QCOMPARE(ReadBytes(file) + QByteArray::number(ModeOf(file), 8),
             "x \xE2\x89\xA5 1\ncaf\xC3\xA9\n444");  // by hand: UTF-8 of U+2265 and U+00E9
    SetMode(file, 0644);
    frame_->view()->insertPlainText(QString(20000, u'9'));  // over 4 KB
    QVERIFY(frame_->recovery()->WriteNow());
    QVERIFY(!WithSaveFailure("write cut short", file, [this] { return frame_->OnFileSave(); }));
    QCOMPARE(answers.text(), QStringLiteral("Cannot save x.txt.\nFile too large"));  // EFBIG
    QCOMPARE(answers.count(), 6);
    QVERIFY(frame_->isWindowModified() && QFile::exists(frame_->recovery()->CopyPath()));
  }
  // Open and Save As through their file dialogs: a name without a suffix gets ".txt".
  void FileDialogsOpenAndSaveAs() {
    WriteBytes(Path("a.txt"), "1+1=");
    DialogAnswer choose([this](QDialog* dialog) {
      const bool open = qobject_cast<QFileDialog*>(dialog)->acceptMode() == QFileDialog::AcceptOpen;
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText(Path(open ? "a.txt" : "b"));
      dialog->accept();
    });
    frame_->OnFileOpen();
    QCOMPARE(Text(), QStringLiteral("1+1="));
    QVERIFY(frame_->OnFileSaveAs());
    QCOMPARE(ReadBytes(Path("b.txt")), QByteArray("1+1="));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("b.txt[*] - Tallo"));
  }

  // Four files, newest first, under "Recent File List/File1" ... "File4"; one that has gone is
  // reported and leaves the list.
  void RecentFilesAreKeptAndOffered() {
    QVERIFY(QSettings().fileName().contains("Local AppWizard-Generated Applications/Tallo"));
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "c.txt"}) {
      WriteBytes(Path(name), name);
      QVERIFY(frame_->OpenFile(Path(name)));  // c.txt again: to the top
    }
    QStringList keys;
    QSettings settings;
    settings.beginGroup(QStringLiteral("Recent File List"));
    for (const QString& key : settings.childKeys()) {
      keys << key + u'=' + settings.value(key).toString().section(u'/', -1);
    }
    QCOMPARE(keys, (QStringList{"File1=c.txt", "File2=e.txt", "File3=d.txt", "File4=b.txt"}));
    QFile::remove(Path("e.txt"));
    QMenu* file = frame_->findChild<QMenu*>();
    emit file->aboutToShow();
    QList<QAction*> entries;
    for (QAction* action : file->actions()) {
      if (action->isVisible() && action->data().isValid()) entries << action;  // they hold paths
    }
    QCOMPARE(entries.size(), 4);
    QCOMPARE(entries[1]->text(), "&2 " + FullPath("e.txt"));
    MessageBoxAnswer gone(QMessageBox::Ok);
    entries[1]->trigger();
    QCOMPARE(gone.text(), QStringLiteral("Cannot open e.txt.\nNo such file or directory"));
    QCOMPARE(ReadRecentFiles().join(u' ').count(".txt"), 3);  // e.txt is gone
  }
  void StartupAndDroppedFiles() {
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
    QCOMPARE(answer.text(), "Cannot open " + QDir(dir_->path()).dirName() + ".\nIt is a folder.");
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Untitled[*] - Tallo"));
    // A dropped file goes to the widget that accepted the drag when it entered: the text, or
    // outside it (on the toolbar or the status bar) the window itself.
    const auto drop_on = [this](QWidget* target, const QString& name) {
      QMimeData data;
      data.setUrls({QUrl::fromLocalFile(Path(name))});
      QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(target, &enter);
      QVERIFY(enter.isAccepted());
      QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(target, &drop);
    };
    drop_on(frame_->view()->viewport(), QStringLiteral("start.txt"));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("start.txt[*] - Tallo"));
    drop_on(frame_.get(), QStringLiteral("new.txt"));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("new.txt[*] - Tallo"));
  }
  // F8 goes from unanswered "=" to unanswered "=", round to the first; the status bar tells the
  // reason of the caret's line (as the manual words it), and that there is none to go to.
  void NextUnansweredAndItsReason() {
    // "1/0=" ends at 3, "1+1=" gets its "2" at 9, "2^10=" ends at 15. Opened from a file, the
    // lines share a paragraph, where the caret at the start of the second is on that line only.
    WriteBytes(Path("marks.txt"), "1/0=\n1+1=\n2^10=\n");
    QVERIFY(frame_->OpenFile(Path("marks.txt")));
    QTextCursor caret = frame_->view()->textCursor();
    caret.setPosition(5);
    frame_->view()->setTextCursor(caret);
    Press(Qt::Key_F9);
    QCOMPARE(Pane("message")->text(), QStringLiteral("Ready"));
    const QString divides = QStringLiteral("1/0 divides by zero");
    const QString power = QStringLiteral("^ is not an operator here: write a power as pow(2,10)");
    for (const auto& [position, reason] : {std::pair{15, power}, {3, divides}, {15, power}}) {
      Press(Qt::Key_F8);
      QCOMPARE(frame_->view()->textCursor().position(), position);
      QCOMPARE(Pane("message")->text(), reason);
    }
    // A reason that comes into view takes the place of a passing message; moving on a line
    // without one leaves the message.
    Press(Qt::Key_Up);
    QCOMPARE(Pane("message")->text(), QStringLiteral("Ready"));
    frame_->statusBar()->showMessage(QStringLiteral("passing"));
    Press(Qt::Key_End);
    QCOMPARE(frame_->statusBar()->currentMessage(), QStringLiteral("passing"));
    Press(Qt::Key_Up);
    QCOMPARE(frame_->statusBar()->currentMessage(), QString());
    QCOMPARE(Pane("message")->text(), divides);
    Press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Pane("message")->text(), QStringLiteral("Ready"));
    Press(Qt::Key_F8);
    QCOMPARE(frame_->statusBar()->currentMessage(),
             QStringLiteral("No \"=\" is marked as unanswered."));
  }
  // R: 2*pt(-1.860813, 18) = 0.07919, the t-test of the manual's sleep data.
  void ExactPValuesFollowTheLabels() {
    const QString sheet = QStringLiteral(
        "a={0.7,-1.6,-0.2,-1.2,-0.1,3.4,3.7,0.8,0.0,2.0}\n"
        "b={1.9,0.8,1.1,0.1,-0.1,4.4,5.5,1.6,4.6,3.4}\nttest(a,b)=\n");
    for (const bool exact : {false, true}) {
      Action("Exact &p-Values")->setChecked(exact);
      frame_->view()->setPlainText(sheet);
      Press(Qt::Key_F9);
      QVERIFY2(Text().contains(exact ? "P<0.10\tp=0.07919\n" : "P<0.10\n"), qPrintable(Text()));
    }
  }
  void WindowAndViewKeepTheirSettings() {
    // 800 by 600, but no more than nine tenths of the offscreen platform's 800 by 800 screen.
    QCOMPARE(frame_->size(), QSize(720, 600));
    QVERIFY(frame_->screen()->availableGeometry().contains(frame_->frameGeometry()));
    frame_->resize(500, 400);
    frame_->addToolBar(Qt::LeftToolBarArea, frame_->findChild<QToolBar*>());
    QFont font = frame_->view()->TextFont();
    font.setPointSize(15);
    frame_->view()->SetTextFont(font);
    frame_->view()->ZoomIn();
    Action("&Align Columns")->trigger();
    QVERIFY(Action("Tab &Width")->isEnabled());
    frame_->view()->SetTabColumns(4);
    Action("Exact &p-Values")->trigger();
    QVERIFY(frame_->close());
    frame_ = std::make_unique<CMainFrame>(nullptr, Path("recovery"));
    const CTalloView* view = frame_->view();
    QCOMPARE(frame_->size(), QSize(500, 400));
    QCOMPARE(frame_->toolBarArea(frame_->findChild<QToolBar*>()), Qt::LeftToolBarArea);
    QCOMPARE(QList<int>({view->TextFont().pointSize(), view->zoom(), view->AlignsColumns(),
                         view->TabColumns(), view->ExactPValues()}),
             QList<int>({15, 1, 0, 4, 1}));
  }
  void DialogsShowTheirTexts() {
    HelpDlg help;
    // 415 by 217 dialog units: a quarter of the average character width across, an eighth of the
    // character height down.
    const QFontMetrics metrics = help.fontMetrics();
    QCOMPARE(help.size(), QSize(415 * metrics.averageCharWidth() / 4, 217 * metrics.height() / 8));
    // Format of Functions shows the list the engine gives, line by line.
    auto* list = help.findChild<QPlainTextEdit*>();
    QVERIFY(list->isReadOnly());
    const std::string_view engine_list = tallo::FunctionListText();
    QCOMPARE(list->toPlainText() + QStringLiteral("\n"),
             QString::fromUtf8(engine_list.data(), engine_list.size()).replace("\r\n", "\n"));
    CAboutDlg about;
    QVERIFY(about.findChildren<QLabel*>().last()->text() == QStringLiteral("Tallo Version 2.3.1"));
    // Both open over the main window, in its middle.
    DialogAnswer centred([this](QDialog* dialog) {
      const QPoint off = dialog->frameGeometry().center() - frame_->frameGeometry().center();
      QVERIFY(off.manhattanLength() < 20);
      dialog->accept();
    });
    frame_->view()->OnFormatOfFunctions();
    frame_->OnAppAbout();
    QCOMPARE(centred.count(), 2);
  }
  // Copies are offered newest first: Discard deletes one, Later keeps the rest. Restored, a copy is
  // the text as typed, unsaved, of its file, saved in the file's format; closing removes it once
  // saved or dropped, not when cancelled.
  void UnsavedWorkIsOfferedAgain() {
    WriteBytes(Path("shared.txt"), "a=1\r\n");
    LeaveCopyOf(Path("shared.txt"), QStringLiteral("older"));
    QTest::qWait(20);  // copies a few milliseconds apart
    LeaveCopyOf({}, QStringLiteral("newer"));
    QCOMPARE(CopiesInFolder().size(), 2);
    // The file changed after its copy was made: restoring it would replace those changes.
    QFile file(Path("shared.txt"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(3600),
                             QFileDevice::FileModificationTime));
    file.close();
    {
      MessageBoxAnswer answers({QMessageBox::No, QMessageBox::Cancel});
      frame_->OfferRecovery();
      QCOMPARE(answers.count(), 2);
      QVERIFY(answers.text().startsWith(
          "Tallo ended without saving the changes to shared.txt. A copy of them from "));
      QVERIFY(answers.text().endsWith(" was kept.\nRestore it?"));
      QCOMPARE(answers.informative_texts(),
               QStringList({"",
                            "shared.txt has been changed since the copy was made: saving the "
                            "restored text replaces those changes."}));
    }
    QVERIFY(Text().isEmpty() && !frame_->isWindowModified());
    QCOMPARE(CopiesInFolder().size(), 1);
    MessageBoxAnswer restore({QMessageBox::Yes, QMessageBox::Cancel, QMessageBox::No});
    frame_->OfferRecovery();
    QCOMPARE(Text(), QStringLiteral("a=1\nolder"));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("shared.txt[*] - Tallo"));
    QVERIFY(frame_->OnFileSave());
    QCOMPARE(ReadBytes(Path("shared.txt")), QByteArray("a=1\r\nolder"));  // its CR LF line ends
    frame_->view()->insertPlainText(QStringLiteral("draft"));
    QVERIFY(frame_->recovery()->WriteNow());
    QVERIFY(!frame_->close());  // Cancel: the copy stays
    QCOMPARE(CopiesInFolder().size(), 1);
    QVERIFY(frame_->close());  // No: dropped, and so is the copy
    QCOMPARE(CopiesInFolder().size(), 0);
  }
  // Files that are not text open at their start and calculate; what they hold is written back
  // as it was, with the answers.
  void OddFilesOpenAndCalculate_data() { AddCaseRows("odd_files.tsv", 2); }
  void OddFilesOpenAndCalculate() {
    const auto [bytes, expected] = Fields<2>();
    WriteBytes(Path("odd.txt"), bytes.toLatin1());
    QVERIFY(frame_->OpenFile(Path("odd.txt")));
    QApplication::processEvents();
    QCOMPARE(frame_->view()->textCursor().position(), 0);
    QCOMPARE(frame_->view()->verticalScrollBar()->value(), 0);
    QVERIFY(frame_->view()->CalculateAndWait());
    QVERIFY(frame_->OnFileSave());
    QCOMPARE(ReadBytes(Path("odd.txt")), expected.toLatin1());
  }

  // The printout keeps the margins of Print Setup and the view's lined-up columns.
  void PrintsWithinTheMargins() {
    const QString pdftotext = QStringLiteral(TALLO_PDFTOTEXT);
    if (pdftotext.isEmpty()) QFAIL("pdftotext (poppler-utils) is needed to read the PDF back");
    frame_->view()->setPlainText(QStringLiteral("plants={\theight\nab\tcell\n") +
                                 QStringLiteral("row\n").repeated(120) + QStringLiteral("last"));
    QPrinter& printer = *frame_->print_commands()->printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("out.pdf"));
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(30, 15, 20, 15), QPageLayout::Millimeter));
    frame_->print_commands()->PrintText(&printer);
    QProcess reader;
    reader.start(pdftotext, {"-bbox", Path("out.pdf"), "-"});
    QVERIFY(reader.waitForFinished(30000));
    const QString boxes = QString::fromUtf8(reader.readAllStandardOutput());
    QMap<QString, double> left;  // each word's first left edge, in points
    const QRegularExpression word(R"re(<word xMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    for (const auto& match : word.globalMatch(boxes)) {
      if (!left.contains(match.captured(2))) left[match.captured(2)] = match.captured(1).toDouble();
    }
    // 30 mm is 30 / 25.4 * 72 = 85.04 points; the columns line up on paper as on the screen.
    QVERIFY2(qAbs(left.value("plants={") - 85.04) < 1, qPrintable(boxes.left(2000)));
    QVERIFY(qAbs(left.value("ab") - 85.04) < 1);
    QVERIFY(qAbs(left.value("height") - left.value("cell")) < 0.5);
    QVERIFY(left.value("height") > left.value("plants={") + 20);
    QVERIFY(left.contains("last"));
    QVERIFY(boxes.count(QStringLiteral("<page ")) >= 2);  // 123 lines do not fit on one page
  }
  void PrintSetupChoosesPaperAndMargins() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const QPageLayout before = printer.pageLayout();
    PrintSetupDialog setup(&printer, nullptr);
    const auto combo = [&](const char* name) { return setup.findChild<QComboBox*>(name); };
    QCOMPARE(combo("paper")->currentText(), QPageSize::name(QPageSize::A4));  // the printer's
    // Margins left, top, right, bottom.
    const auto set = [&](int orientation, const QList<double>& margins) {
      combo("paper")->setCurrentIndex(combo("paper")->findData(QPageSize::A5));
      combo("orientation")->setCurrentIndex(orientation);
      for (int side = 0; side < 4; ++side) {
        setup.findChild<QDoubleSpinBox*>(QStringLiteral("margin%1").arg(side))
            ->setValue(margins[side]);
      }
      setup.accept();
    };
    // A5 is 148 by 210 mm: margins of 148 mm in all leave no room across it standing, or down it
    // lying; 100 and 14 do lying down.
    MessageBoxAnswer warning(QMessageBox::Ok);
    set(0, {100, 12, 48, 14});
    set(1, {100, 100, 100, 48});
    QCOMPARE(warning.count(), 2);
    QCOMPARE(warning.text(), QStringLiteral("The margins leave no room on the paper."));
    QVERIFY(printer.pageLayout().isEquivalentTo(before));
    set(1, {100, 12, 100, 14});
    const QPageLayout layout = printer.pageLayout();
    QCOMPARE(layout.pageSize().id(), QPageSize::A5);
    QCOMPARE(layout.orientation(), QPageLayout::Landscape);
    QCOMPARE(layout.margins(QPageLayout::Millimeter), QMarginsF(100, 12, 100, 14));
    QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);  // no printers here: a PDF file
  }

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
  // The window's command whose text starts with name.
  QAction* Action(const char* name) const {
    for (QAction* action : frame_->findChildren<QAction*>()) {
      if (action->text().startsWith(name)) return action;
    }
    qFatal("no command %s", name);
  }
  QLabel* Pane(const char* name) const { return frame_->statusBar()->findChild<QLabel*>(name); }
  static void Click(QWidget* dialog, const QString& button) {
    for (QPushButton* each : dialog->findChildren<QPushButton*>()) {
      if (each->text() == button) each->click();
    }
  }
  QString FullPath(const QString& name) const {
    return QDir::toNativeSeparators(QFileInfo(Path(name)).absoluteFilePath());
  }
  QStringList CopiesInFolder() const {
    return QDir(Path("recovery")).entryList({QStringLiteral("*.recovery")}, QDir::Files);
  }
  // An editor that ends with text typed and kept in a copy, without closing its window.
  void LeaveCopyOf(const QString& file, const QString& text) {
    CMainFrame ended(nullptr, Path("recovery"));
    if (!file.isEmpty()) ended.StartWith(file);
    ended.view()->moveCursor(QTextCursor::End);
    ended.view()->insertPlainText(text);
    QVERIFY(ended.recovery()->WriteNow());
  }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<CMainFrame> frame_;
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
