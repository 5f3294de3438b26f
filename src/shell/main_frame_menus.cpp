// The main window's menus and toolbar, and the commands of its Edit and View menus that are
// the window's own.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontDialog>
#include <QInputDialog>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "shell/find_dialog.h"
#include "shell/line_index.h"
#include "shell/main_frame.h"
#include "shell/print_commands.h"
#include "shell/recent_files.h"
#include "shell/tallo_view.h"
#include "shell/unanswered_marks.h"

namespace tallo::shell {
namespace {

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

QList<QKeySequence> Keys(const QStringList& names) {
  QList<QKeySequence> keys;
  for (const QString& name : names) keys << QKeySequence(name);
  return keys;
}

}  // namespace

void CMainFrame::CreateMenusAndToolbar() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QAction* file_new = MakeAction(this, tr("&New\tCtrl+N"), tr("Create a new document"), tr("New"),
                                 Keys({"Ctrl+N"}), "document-new");
  QAction* open = MakeAction(this, tr("&Open...\tCtrl+O"), tr("Open an existing document"),
                             tr("Open"), Keys({"Ctrl+O"}), "document-open");
  QAction* save = MakeAction(this, tr("&Save\tCtrl+S"), tr("Save the active document"), tr("Save"),
                             Keys({"Ctrl+S"}), "document-save");
  QAction* save_as =
      MakeAction(this, tr("Save &As..."), tr("Save the active document with a new name"));
  QAction* print = MakeAction(this, tr("&Print...\tCtrl+P"), tr("Print the active document"),
                              tr("Print"), Keys({"Ctrl+P"}), "document-print");
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
  CreateViewMenu(menuBar()->addMenu(tr("&View")));

  QMenu* calculation = menuBar()->addMenu(tr("&Calculation"));
  QAction* calculate =
      MakeAction(this, tr("Do Calculation\tF9"), tr("Calculation"), tr("Do Calculation"),
                 Keys({"F9", "Ctrl+Return"}), "do-calculation");
  QAction* next_unanswered =
      MakeAction(this, tr("&Next Unanswered\tF8"),
                 tr("Move to the next \"=\" that the calculation left without an answer"), {},
                 Keys({"F8"}));
  exact_p_values_ = MakeAction(this, tr("Exact &p-Values"),
                               tr("Follow every significance label with its exact p-value"));
  exact_p_values_->setCheckable(true);
  connect(calculate, &QAction::triggered, view_, &CTalloView::OnDoCalculation);
  connect(next_unanswered, &QAction::triggered, this, [this] {
    if (!view_->unanswered().MoveToNext()) {
      statusBar()->showMessage(tr("No \"=\" is marked as unanswered."));
    }
  });
  connect(exact_p_values_, &QAction::toggled, view_, &CTalloView::SetExactPValues);
  calculation->addActions({calculate, next_unanswered});
  calculation->addSeparator();
  calculation->addAction(exact_p_values_);

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
                             Keys({"Ctrl+Z", "Alt+Backspace"}));
  QAction* redo = MakeAction(this, tr("&Redo\tCtrl+Y"), tr("Redo the action undone last"),
                             tr("Redo"), Keys({"Ctrl+Y", "Ctrl+Shift+Z"}));
  QAction* cut =
      MakeAction(this, tr("Cu&t\tCtrl+X"), tr("Cut the selection and put it on the Clipboard"),
                 tr("Cut"), Keys({"Ctrl+X", "Shift+Del"}), "edit-cut");
  QAction* copy =
      MakeAction(this, tr("&Copy\tCtrl+C"), tr("Copy the selection and put it on the Clipboard"),
                 tr("Copy"), Keys({"Ctrl+C", "Ctrl+Ins"}), "edit-copy");
  QAction* paste = MakeAction(this, tr("&Paste\tCtrl+V"), tr("Insert Clipboard contents"),
                              tr("Paste"), Keys({"Ctrl+V", "Shift+Ins"}), "edit-paste");
  QAction* find =
      MakeAction(this, tr("Find\tCtrl+F"), tr("Find the specified text"), {}, Keys({"Ctrl+F"}));
  QAction* replace =
      MakeAction(this, tr("Replace\tCtrl+H"), tr("Replace specific text with different text"), {},
                 Keys({"Ctrl+H"}));
  QAction* go_to = MakeAction(this, tr("&Go to Line...\tCtrl+G"),
                              tr("Move to a line by its number"), {}, Keys({"Ctrl+G"}));
  QAction* select_all = MakeAction(this, tr("Select All"), tr("Select the entire document"));
  connect(undo, &QAction::triggered, view_, &QPlainTextEdit::undo);
  connect(redo, &QAction::triggered, view_, &QPlainTextEdit::redo);
  connect(cut, &QAction::triggered, view_, &QPlainTextEdit::cut);
  connect(copy, &QAction::triggered, view_, &QPlainTextEdit::copy);
  connect(paste, &QAction::triggered, view_, &QPlainTextEdit::paste);
  connect(find, &QAction::triggered, find_, &FindDialog::ShowFind);
  connect(replace, &QAction::triggered, find_, &FindDialog::ShowReplace);
  connect(go_to, &QAction::triggered, this, &CMainFrame::OnGoToLine);
  connect(select_all, &QAction::triggered, view_, &QPlainTextEdit::selectAll);
  menu->addActions({undo, redo});
  menu->addSeparator();
  menu->addActions({cut, copy, paste});
  menu->addSeparator();
  menu->addActions({find, replace, go_to});
  menu->addSeparator();
  menu->addAction(select_all);

  // Commands are offered only when they can do something.
  undo->setEnabled(false);
  redo->setEnabled(false);
  cut->setEnabled(false);
  copy->setEnabled(false);
  connect(view_, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
  connect(view_, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);
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

void CMainFrame::CreateViewMenu(QMenu* menu) {
  QAction* show_toolbar = toolbar_->toggleViewAction();
  show_toolbar->setText(tr("&Toolbar"));
  show_toolbar->setStatusTip(tr("Show or hide the toolbar"));
  QAction* show_status = MakeAction(this, tr("&Status Bar"), tr("Show or hide the status bar"));
  show_status->setCheckable(true);
  show_status->setChecked(true);
  connect(show_status, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
  QAction* zoom_in = MakeAction(this, tr("Zoom &In\tCtrl++"), tr("Show the text larger"), {},
                                Keys({"Ctrl++", "Ctrl+="}));
  QAction* zoom_out =
      MakeAction(this, tr("Zoom &Out\tCtrl+-"), tr("Show the text smaller"), {}, Keys({"Ctrl+-"}));
  QAction* zoom_reset =
      MakeAction(this, tr("&Reset Zoom\tCtrl+0"), tr("Show the text in the size of its font"), {},
                 Keys({"Ctrl+0"}));
  QAction* font = MakeAction(this, tr("&Font..."), tr("Choose the font of the text"));
  align_columns_ = MakeAction(this, tr("&Align Columns"),
                              tr("Line up the TAB-separated columns of consecutive lines"));
  align_columns_->setCheckable(true);
  align_columns_->setChecked(view_->AlignsColumns());
  tab_width_ = MakeAction(this, tr("Tab &Width..."),
                          tr("Choose how many characters apart the TAB stops are"));
  tab_width_->setEnabled(!view_->AlignsColumns());
  connect(zoom_in, &QAction::triggered, view_, &CTalloView::ZoomIn);
  connect(zoom_out, &QAction::triggered, view_, &CTalloView::ZoomOut);
  connect(zoom_reset, &QAction::triggered, view_, [this] { view_->SetZoom(0); });
  connect(font, &QAction::triggered, this, &CMainFrame::OnChooseFont);
  connect(align_columns_, &QAction::toggled, this, [this](bool on) {
    view_->SetAlignColumns(on);
    tab_width_->setEnabled(!on);
  });
  connect(tab_width_, &QAction::triggered, this, &CMainFrame::OnTabWidth);
  menu->addActions({show_toolbar, show_status});
  menu->addSeparator();
  menu->addActions({zoom_in, zoom_out, zoom_reset, font});
  menu->addSeparator();
  menu->addActions({align_columns_, tab_width_});
}

void CMainFrame::OnGoToLine() {
  bool ok = false;
  const LineIndex& lines = view_->lines();
  const int count = lines.LineCount();
  const int line =
      QInputDialog::getInt(this, tr("Go to Line"), tr("&Line (1 to %1):").arg(count),
                           lines.LineOf(view_->textCursor().position()) + 1, 1, count, 1, &ok);
  if (ok) view_->GoToLine(line - 1);
}

void CMainFrame::OnChooseFont() {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, view_->TextFont(), this, tr("Font"));
  if (ok) view_->SetTextFont(font);
}

void CMainFrame::OnTabWidth() {
  bool ok = false;
  const int columns =
      QInputDialog::getInt(this, tr("Tab Width"), tr("&Characters between TAB stops:"),
                           view_->TabColumns(), 1, 32, 1, &ok);
  if (ok) view_->SetTabColumns(columns);
}

}  // namespace tallo::shell
