#include "shell/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTextCursor>
#include <QToolBar>
#include <algorithm>

#include "shell/about_dlg.h"
#include "shell/busy_cursor.h"
#include "shell/dropped_files.h"
#include "shell/find_dialog.h"
#include "shell/lock_keys.h"
#include "shell/print_commands.h"
#include "shell/recent_files.h"
#include "shell/recovery_copy.h"
#include "shell/tallo_doc.h"
#include "shell/tallo_view.h"

namespace tallo::shell {
namespace {

const QString kFileFilters = QStringLiteral("Text Files (*.txt);;All Files (*)");

// A command as menus and toolbar show it. text may carry the shortcut's name after a TAB,
// as the menu shows it; tool_tip is the toolbar button's name; status_tip the prompt.
QAction* MakeAction(QObject* parent, const QString& text, const QString& status_tip,
                    const QString& tool_tip = {}, const QList<QKeySequence>& shortcuts = {},
                    const QString& icon = {}) {
  auto* action = new QAction(text, parent);
  action->setStatusTip(status_tip);
  if (!tool_tip.isEmpty()) action->setToolTip(tool_tip);
  action->setShortcuts(shortcuts);
  if (!icon.isEmpty()) {
    action->setIcon(QIcon::fromTheme(icon, QIcon(QStringLiteral(":/icons/%1.svg").arg(icon))));
  }
  return action;
}

// Shows how far a load has come once it takes more than half a second, and offers to cancel it; the
// window stays drawn meanwhile.
class LoadingDialog {
 public:
  LoadingDialog(QWidget* window, const QString& name)
      : dialog_(CMainFrame::tr("Opening %1...").arg(name), CMainFrame::tr("Cancel"), 0, kSteps,
                window) {
    dialog_.setWindowTitle(QStringLiteral("Tallo"));
    // Nothing else may change the text while it is loaded: no window takes input meanwhile.
    dialog_.setWindowModality(Qt::ApplicationModal);
    dialog_.setMinimumDuration(500);
    dialog_.setValue(0);
  }

  LoadProgress Progress() {
    return [this](qint64 done, qint64 total) {
      dialog_.setValue(static_cast<int>(done * kSteps / std::max<qint64>(total, 1)));
      return !dialog_.wasCanceled();
    };
  }

 private:
  static constexpr int kSteps = 1000;
  const BusyCursor busy_;
  QProgressDialog dialog_;
};

// A document as messages name it: its whole path, or "Untitled".
QString NameForUser(const QString& path) {
  return path.isEmpty() ? CTalloDoc::DisplayNameOf(path) : QDir::toNativeSeparators(path);
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent, const QString& recovery_folder)
    : QMainWindow(parent),
      view_(new CTalloView(this)),
      doc_(new CTalloDoc(view_->document(), this)),
      print_(new PrintCommands(view_, this)),
      find_(new FindDialog(view_, this)),
      recovery_(new RecoveryCopy(
          doc_, recovery_folder.isEmpty() ? RecoveryCopy::DefaultFolder() : recovery_folder,
          this)) {
  setCentralWidget(view_);
  setAcceptDrops(true);
  CreateMenusAndToolbar();
  CreateStatusBar();
  connect(doc_, &CTalloDoc::PathChanged, this, &CMainFrame::ShowTitle);
  connect(view_->document(), &QTextDocument::modificationChanged, this,
          &QWidget::setWindowModified);
  connect(view_, &CTalloView::FilesDropped, this,
          [this](const QStringList& paths) { OpenFile(paths.first()); });
  connect(recovery_, &RecoveryCopy::WriteFailed, this, [this](const QString& reason) {
    statusBar()->showMessage(tr("No recovery copy of the changes could be kept: %1").arg(reason));
  });
  doc_->NewDocument();
  resize(800, 600);
}

void CMainFrame::CreateMenusAndToolbar() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QAction* file_new = MakeAction(this, tr("&New\tCtrl+N"), tr("Create a new document"), tr("New"),
                                 {QKeySequence(tr("Ctrl+N"))}, "document-new");
  QAction* open = MakeAction(this, tr("&Open...\tCtrl+O"), tr("Open an existing document"),
                             tr("Open"), {QKeySequence(tr("Ctrl+O"))}, "document-open");
  QAction* save = MakeAction(this, tr("&Save\tCtrl+S"), tr("Save the active document"), tr("Save"),
                             {QKeySequence(tr("Ctrl+S"))}, "document-save");
  QAction* save_as =
      MakeAction(this, tr("Save &As..."), tr("Save the active document with a new name"));
  QAction* print = MakeAction(this, tr("&Print...\tCtrl+P"), tr("Print the active document"),
                              tr("Print"), {QKeySequence(tr("Ctrl+P"))}, "document-print");
  QAction* preview = MakeAction(this, tr("Print Pre&view"), tr("Display full pages"));
  QAction* setup =
      MakeAction(this, tr("P&rint Setup..."), tr("Change the printer and printing options"));
  QAction* exit =
      MakeAction(this, tr("E&xit"), tr("Quit the application; prompts to save documents"));
  connect(file_new, &QAction::triggered, this, &CMainFrame::OnFileNew);
  connect(open, &QAction::triggered, this, &CMainFrame::OnFileOpen);
  connect(save, &QAction::triggered, this, &CMainFrame::OnFileSave);
  connect(save_as, &QAction::triggered, this, &CMainFrame::OnFileSaveAs);
  connect(print, &QAction::triggered, print_, &PrintCommands::OnPrint);
  connect(preview, &QAction::triggered, print_, &PrintCommands::OnPrintPreview);
  connect(setup, &QAction::triggered, print_, &PrintCommands::OnPrintSetup);
  connect(exit, &QAction::triggered, this, &QWidget::close);
  file->addActions({file_new, open, save, save_as});
  file->addSeparator();
  file->addActions({print, preview, setup});
  file->addSeparator();
  QAction* after_recent = file->addSeparator();
  file->addAction(exit);
  recent_ = new RecentFileMenu(file, after_recent, this);
  connect(recent_, &RecentFileMenu::OpenRequested, this, &CMainFrame::OpenFile);

  const QList<QAction*> clipboard = CreateEditMenu(menuBar()->addMenu(tr("&Edit")));

  toolbar_ = new QToolBar(tr("Toolbar"), this);
  toolbar_->setObjectName(QStringLiteral("toolbar"));
  toolbar_->setIconSize(QSize(16, 16));
  toolbar_->setAllowedAreas(Qt::AllToolBarAreas);
  addToolBar(Qt::TopToolBarArea, toolbar_);

  QMenu* view = menuBar()->addMenu(tr("&View"));
  QAction* show_toolbar = toolbar_->toggleViewAction();
  show_toolbar->setText(tr("&Toolbar"));
  show_toolbar->setStatusTip(tr("Show or hide the toolbar"));
  QAction* show_status = MakeAction(this, tr("&Status Bar"), tr("Show or hide the status bar"));
  show_status->setCheckable(true);
  show_status->setChecked(true);
  connect(show_status, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
  view->addActions({show_toolbar, show_status});

  QMenu* calculation = menuBar()->addMenu(tr("Calculation"));
  QAction* calculate = MakeAction(this, tr("Do Calculation"), tr("Calculation"),
                                  tr("Do Calculation"), {}, "do-calculation");
  connect(calculate, &QAction::triggered, view_, &CTalloView::OnDoCalculation);
  calculation->addAction(calculate);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  QAction* functions = MakeAction(this, tr("Format of Functions"), {});
  QAction* about = MakeAction(this, tr("&About Tallo..."),
                              tr("Display program information, version number and copyright"),
                              tr("About"), {}, "help-about");
  connect(functions, &QAction::triggered, view_, &CTalloView::OnFormatOfFunctions);
  connect(about, &QAction::triggered, this, &CMainFrame::OnAppAbout);
  help->addActions({functions, about});

  toolbar_->addActions({file_new, open, save});
  toolbar_->addSeparator();
  toolbar_->addActions(clipboard);
  toolbar_->addSeparator();
  toolbar_->addActions({print, about, calculate});
}

QList<QAction*> CMainFrame::CreateEditMenu(QMenu* menu) {
  QAction* undo = MakeAction(this, tr("&Undo\tCtrl+Z"), tr("Undo the last action"), tr("Undo"),
                             {QKeySequence(tr("Ctrl+Z")), QKeySequence(tr("Alt+Backspace"))});
  QAction* cut = MakeAction(
      this, tr("Cu&t\tCtrl+X"), tr("Cut the selection and put it on the Clipboard"), tr("Cut"),
      {QKeySequence(tr("Ctrl+X")), QKeySequence(tr("Shift+Del"))}, "edit-cut");
  QAction* copy = MakeAction(
      this, tr("&Copy\tCtrl+C"), tr("Copy the selection and put it on the Clipboard"), tr("Copy"),
      {QKeySequence(tr("Ctrl+C")), QKeySequence(tr("Ctrl+Ins"))}, "edit-copy");
  QAction* paste =
      MakeAction(this, tr("&Paste\tCtrl+V"), tr("Insert Clipboard contents"), tr("Paste"),
                 {QKeySequence(tr("Ctrl+V")), QKeySequence(tr("Shift+Ins"))}, "edit-paste");
  QAction* find = MakeAction(this, tr("Find"), tr("Find the specified text"));
  QAction* replace =
      MakeAction(this, tr("Replace"), tr("Replace specific text with different text"));
  QAction* select_all = MakeAction(this, tr("Select All"), tr("Select the entire document"));
  connect(undo, &QAction::triggered, view_, &QPlainTextEdit::undo);
  connect(cut, &QAction::triggered, view_, &QPlainTextEdit::cut);
  connect(copy, &QAction::triggered, view_, &QPlainTextEdit::copy);
  connect(paste, &QAction::triggered, view_, &QPlainTextEdit::paste);
  connect(find, &QAction::triggered, find_, &FindDialog::ShowFind);
  connect(replace, &QAction::triggered, find_, &FindDialog::ShowReplace);
  connect(select_all, &QAction::triggered, view_, &QPlainTextEdit::selectAll);
  menu->addAction(undo);
  menu->addSeparator();
  menu->addActions({cut, copy, paste});
  menu->addSeparator();
  menu->addActions({find, replace});
  menu->addSeparator();
  menu->addAction(select_all);

  // Commands are offered only when they can do something.
  undo->setEnabled(false);
  cut->setEnabled(false);
  copy->setEnabled(false);
  connect(view_, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
  connect(view_, &QPlainTextEdit::copyAvailable, cut, &QAction::setEnabled);
  connect(view_, &QPlainTextEdit::copyAvailable, copy, &QAction::setEnabled);
  const auto update_paste = [this, paste] { paste->setEnabled(view_->canPaste()); };
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, paste, update_paste);
  update_paste();

  // Find Next again, and backward; not menu items.
  QAction* find_again = MakeAction(this, tr("Find Next"), {}, {}, {QKeySequence::FindNext});
  QAction* find_back = MakeAction(this, tr("Find Previous"), {}, {}, {QKeySequence::FindPrevious});
  connect(find_again, &QAction::triggered, this, [this] { find_->FindAgain(false); });
  connect(find_back, &QAction::triggered, this, [this] { find_->FindAgain(true); });
  addActions({find_again, find_back});
  return {cut, copy, paste};
}

void CMainFrame::CreateStatusBar() {
  auto* ready = new QLabel(tr("Ready"), statusBar());
  statusBar()->addWidget(ready, 1);
  new LockKeyPanes(statusBar());
}

void CMainFrame::StartWith(const QString& path) {
  if (!path.isEmpty() && !ReadFile(path)) doc_->NewDocument();
}

bool CMainFrame::OpenFile(const QString& path) { return MaybeSave() && ReadFile(path); }

bool CMainFrame::ReadFile(const QString& path) {
  QString error;
  CTalloDoc::OpenResult result;
  {
    LoadingDialog loading(this, QFileInfo(path).fileName());
    result = doc_->Open(path, &error, loading.Progress());
  }
  switch (result) {
    case CTalloDoc::OpenResult::Opened:
      view_->moveCursor(QTextCursor::Start);
      recent_->Add(doc_->path());
      return true;
    case CTalloDoc::OpenResult::Failed:
      ShowError(tr("Cannot open %1.\n%2").arg(QDir::toNativeSeparators(path), error));
      recent_->Remove(path);
      return false;
    case CTalloDoc::OpenResult::Cancelled:
      return false;
  }
  return false;
}

bool CMainFrame::MaybeSave() {
  if (!doc_->IsModified()) return true;
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Tallo"),
                  tr("Save changes to %1?").arg(NameForUser(doc_->path())),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
  box.setDefaultButton(QMessageBox::Yes);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return OnFileSave();
    case QMessageBox::No:
      return true;
    default:
      return false;
  }
}

void CMainFrame::OfferRecovery() {
  for (OrphanedCopy& orphan : OrphanedCopy::ClaimAll(recovery_->folder())) {
    switch (AskAboutCopy(orphan.content())) {
      case QMessageBox::Yes: {
        if (!MaybeSave()) return;
        const RecoveredText& copy = orphan.content();
        LoadingDialog loading(this, CTalloDoc::DisplayNameOf(copy.path));
        if (doc_->Restore(copy.path, copy.format, copy.text, loading.Progress())) {
          recovery_->Adopt(std::move(orphan));
          view_->moveCursor(QTextCursor::Start);
        }
        return;
      }
      case QMessageBox::No:
        orphan.Remove();
        break;
      default:
        return;
    }
  }
}

int CMainFrame::AskAboutCopy(const RecoveredText& copy) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Tallo"),
                  tr("Tallo ended without saving the changes to %1. A copy of them from %2 "
                     "was kept.\nRestore it?")
                      .arg(NameForUser(copy.path),
                           QLocale().toString(copy.written.toLocalTime(), QLocale::ShortFormat)),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
  box.button(QMessageBox::Yes)->setText(tr("&Restore"));
  box.button(QMessageBox::No)->setText(tr("&Discard"));
  box.button(QMessageBox::Cancel)->setText(tr("&Later"));
  box.setDefaultButton(QMessageBox::Yes);
  const QFileInfo file(copy.path);
  if (!copy.path.isEmpty() && file.exists() && file.lastModified() > copy.written) {
    box.setInformativeText(tr("%1 has been changed since the copy was made: saving the "
                              "restored text replaces those changes.")
                               .arg(file.fileName()));
  }
  return box.exec();
}

void CMainFrame::OnFileNew() {
  if (MaybeSave()) doc_->NewDocument();
}

void CMainFrame::OnFileOpen() {
  const QString folder = doc_->path().isEmpty() ? QString() : QFileInfo(doc_->path()).path();
  const QString path = QFileDialog::getOpenFileName(this, tr("Open"), folder, kFileFilters);
  if (!path.isEmpty()) OpenFile(path);
}

bool CMainFrame::OnFileSave() {
  return doc_->path().isEmpty() ? OnFileSaveAs() : SaveTo(doc_->path());
}

bool CMainFrame::OnFileSaveAs() {
  QFileDialog dialog(this, tr("Save As"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(kFileFilters);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  if (doc_->path().isEmpty()) {
    dialog.selectFile(doc_->DisplayName() + QStringLiteral(".txt"));
  } else {
    dialog.selectFile(doc_->path());
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  return SaveTo(dialog.selectedFiles().value(0));
}

bool CMainFrame::SaveTo(const QString& path) {
  QString error;
  CTalloDoc::SaveResult result = doc_->Save(path, &error);
  if (result == CTalloDoc::SaveResult::NotEncodable) {
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, QStringLiteral("Tallo"),
        tr("%1 is not a UTF-8 file, and some characters of the text have no place in its "
           "8-bit encoding.\nSave it as UTF-8? Its other non-ASCII characters then change to "
           "UTF-8 too.")
            .arg(QDir::toNativeSeparators(path)));
    if (answer != QMessageBox::Yes) return false;
    doc_->ConvertToUtf8();
    result = doc_->Save(path, &error);
  }
  if (result != CTalloDoc::SaveResult::Saved) {
    ShowError(tr("Cannot save %1.\n%2").arg(QDir::toNativeSeparators(path), error));
    return false;
  }
  recent_->Add(doc_->path());
  return true;
}

void CMainFrame::OnAppAbout() {
  CAboutDlg dialog(this);
  dialog.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (MaybeSave()) {
    // Saved, or the changes were dropped on purpose.
    recovery_->Discard();
    event->accept();
  } else {
    event->ignore();
  }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QStringList paths = DroppedFiles(event->mimeData());
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  OpenFile(paths.first());
}

void CMainFrame::ShowTitle() {
  setWindowFilePath(doc_->path());
  setWindowTitle(tr("%1[*] - Tallo").arg(doc_->DisplayName()));
}

void CMainFrame::ShowError(const QString& message) {
  QMessageBox::warning(this, QStringLiteral("Tallo"), message);
}

}  // namespace tallo::shell
