#include "shell/main_frame.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTextCursor>
#include <QToolBar>
#include <algorithm>

#include "shell/about_dlg.h"
#include "shell/busy_cursor.h"
#include "shell/calculation_indicator.h"
#include "shell/document_panes.h"
#include "shell/dropped_files.h"
#include "shell/find_dialog.h"
#include "shell/lock_keys.h"
#include "shell/print_commands.h"
#include "shell/recent_files.h"
#include "shell/recovery_copy.h"
#include "shell/safe_write.h"
#include "shell/tallo_doc.h"
#include "shell/tallo_view.h"
#include "shell/unanswered_marks.h"

namespace tallo::shell {
namespace {

const QString kFileFilters = QStringLiteral("Text Files (*.txt);;All Files (*)");

// Where the window and the view keep their state in the settings.
const QString kGeometryKey = QStringLiteral("Window/Geometry");
const QString kStateKey = QStringLiteral("Window/State");
const QString kFontKey = QStringLiteral("View/Font");
const QString kZoomKey = QStringLiteral("View/Zoom");
const QString kAlignKey = QStringLiteral("View/AlignColumns");
const QString kTabColumnsKey = QStringLiteral("View/TabColumns");
const QString kPValuesKey = QStringLiteral("Calculation/ExactPValues");

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

// A question or message about the file at path: text names the file, the details give its whole
// path.
void SetUpBox(QMessageBox& box, const QString& text, const QString& path) {
  box.setWindowTitle(QStringLiteral("Tallo"));
  box.setText(text);
  if (!path.isEmpty())
    box.setDetailedText(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
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
  connect(find_, &FindDialog::Noted, statusBar(),
          [this](const QString& note) { statusBar()->showMessage(note); });
  doc_->NewDocument();
  ReadSettings();
}

void CMainFrame::CreateStatusBar() {
  // Ready, or why the "=" on the caret's line got no answer. However long the reason, the
  // window may still be made narrow.
  auto* message = new QLabel(tr("Ready"), statusBar());
  message->setObjectName(QStringLiteral("message"));
  message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusBar()->addWidget(message, 1);
  const auto show_reason = [this, message] {
    const QString reason = view_->unanswered().ReasonOnLineOf(view_->textCursor().position());
    if (!reason.isEmpty() && reason != message->text()) statusBar()->clearMessage();
    message->setText(reason.isEmpty() ? tr("Ready") : reason);
  };
  connect(view_, &QPlainTextEdit::cursorPositionChanged, message, show_reason);
  connect(&view_->unanswered(), &UnansweredMarks::Changed, message, show_reason);
  new CalculationIndicator(view_, statusBar());
  new LockKeyPanes(statusBar());
  new DocumentPanes(view_, doc_, statusBar());
  connect(view_, &CTalloView::CalculationEnded, this, [this](bool applied) {
    if (!applied) statusBar()->showMessage(tr("The calculation was cancelled."));
  });
}

void CMainFrame::ReadSettings() {
  const QSettings settings;
  if (!restoreGeometry(settings.value(kGeometryKey).toByteArray())) {
    // At a large scale factor the usual size may not fit the screen.
    const QRect room = screen()->availableGeometry();
    resize(kFirstSize.boundedTo(room.size() * 9 / 10));
    move(room.center() - rect().center());
  }
  restoreState(settings.value(kStateKey).toByteArray());
  QFont font;
  if (settings.contains(kFontKey) && font.fromString(settings.value(kFontKey).toString())) {
    view_->SetTextFont(font);
  }
  view_->SetZoom(settings.value(kZoomKey, 0).toInt());
  view_->SetTabColumns(settings.value(kTabColumnsKey, view_->TabColumns()).toInt());
  align_columns_->setChecked(settings.value(kAlignKey, true).toBool());
  exact_p_values_->setChecked(settings.value(kPValuesKey, false).toBool());
}

void CMainFrame::WriteSettings() const {
  QSettings settings;
  settings.setValue(kGeometryKey, saveGeometry());
  settings.setValue(kStateKey, saveState());
  settings.setValue(kFontKey, view_->TextFont().toString());
  settings.setValue(kZoomKey, view_->zoom());
  settings.setValue(kAlignKey, view_->AlignsColumns());
  settings.setValue(kTabColumnsKey, view_->TabColumns());
  settings.setValue(kPValuesKey, view_->ExactPValues());
}

void CMainFrame::StartWith(const QString& path) {
  if (path.isEmpty()) return;
  if (!QFileInfo::exists(path)) {
    doc_->NewDocument(path);
  } else if (!ReadFile(path)) {
    doc_->NewDocument();
  }
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
      ShowError(tr("Cannot open %1.\n%2").arg(QFileInfo(path).fileName(), error), path);
      recent_->Remove(path);
      return false;
    case CTalloDoc::OpenResult::Cancelled:
      return false;
  }
  Q_UNREACHABLE();
}

bool CMainFrame::MaybeSave() {
  if (!doc_->IsModified()) return true;
  QMessageBox box(QMessageBox::Warning, {}, {},
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
  SetUpBox(box, tr("Save changes to %1?").arg(doc_->DisplayName()), doc_->path());
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
  QMessageBox box(QMessageBox::Question, {}, {},
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
  SetUpBox(box,
           tr("Tallo ended without saving the changes to %1. A copy of them from %2 was kept.\n"
              "Restore it?")
               .arg(CTalloDoc::DisplayNameOf(copy.path),
                    QLocale().toString(copy.written.toLocalTime(), QLocale::ShortFormat)),
           copy.path);
  box.button(QMessageBox::Yes)->setText(tr("&Restore"));
  box.button(QMessageBox::No)->setText(tr("&Discard"));
  box.button(QMessageBox::Cancel)->setText(tr("&Later"));
  box.setDefaultButton(QMessageBox::Yes);
  const QFileInfo file(copy.path);
  if (file.exists() && file.lastModified() > copy.written) {  // an untitled copy has no file
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
  const QString name = QFileInfo(path).fileName();
  if (IsWriteProtected(path)) {
    QMessageBox box(QMessageBox::Warning, {}, {}, QMessageBox::Yes | QMessageBox::Cancel, this);
    SetUpBox(box, tr("%1 is read-only.\nReplace it anyway? It stays read-only.").arg(name), path);
    box.button(QMessageBox::Yes)->setText(tr("&Replace"));
    box.setDefaultButton(QMessageBox::Cancel);
    if (box.exec() != QMessageBox::Yes) return false;
  }
  QString error;
  CTalloDoc::SaveResult result = doc_->Save(path, &error);
  if (result == CTalloDoc::SaveResult::NotEncodable) {
    QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No, this);
    SetUpBox(box,
             tr("%1 is not a UTF-8 file, and some characters of the text have no place in its "
                "8-bit encoding.\nSave it as UTF-8? Its other non-ASCII characters then change to "
                "UTF-8 too.")
                 .arg(name),
             path);
    if (box.exec() != QMessageBox::Yes) return false;
    doc_->ConvertToUtf8();
    result = doc_->Save(path, &error);
  }
  if (result != CTalloDoc::SaveResult::Saved) {
    ShowError(tr("Cannot save %1.\n%2").arg(name, error), path);
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
    view_->CancelCalculation();
    recovery_->Discard();
    WriteSettings();
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

void CMainFrame::ShowError(const QString& message, const QString& path) {
  QMessageBox box(QMessageBox::Warning, {}, {}, QMessageBox::Ok, this);
  SetUpBox(box, message, path);
  box.exec();
}

}  // namespace tallo::shell
