#pragma once
// The main window: menus, toolbar and status bar around the view, and the file commands.

#include <QMainWindow>

class QAction;
class QToolBar;

namespace tallo::shell {

class CTalloDoc;
class CTalloView;
class FindDialog;
class PrintCommands;
class RecentFileMenu;
class RecoveryCopy;
struct RecoveredText;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // The size of a first window where the screen has room for it.
  static constexpr QSize kFirstSize{800, 600};

  // Unsaved work is copied into recovery_folder (RecoveryCopy::DefaultFolder() when empty).
  // The window takes its size, toolbar, font and zoom from the settings of the last one closed.
  explicit CMainFrame(QWidget* parent = nullptr, const QString& recovery_folder = {});

  CTalloDoc* document() const { return doc_; }
  CTalloView* view() const { return view_; }
  PrintCommands* print_commands() const { return print_; }
  RecoveryCopy* recovery() const { return recovery_; }

  // The document to start with: path when given (a missing file gives an empty document of that
  // name, which saving creates; an unreadable one is reported and an empty document opened
  // instead), else a new document.
  void StartWith(const QString& path);

  // Opens path after offering to save the current document. False when the user cancelled
  // or the file could not be read (which is reported; the current document is then kept),
  // or the user cancelled a long load (which leaves a new document).
  bool OpenFile(const QString& path);

  // Asks whether to save a modified document. False when the user cancelled or saving
  // failed: the document must then stay.
  bool MaybeSave();

  // Offers, newest first, the work that editors which ended without saving it left in the recovery
  // folder: restoring one makes it this window's document, discarding one deletes it, and Later
  // keeps the rest for the next start.
  void OfferRecovery();

 public slots:
  void OnFileNew();
  void OnFileOpen();
  bool OnFileSave();
  bool OnFileSaveAs();
  void OnAppAbout();
  void OnGoToLine();
  void OnChooseFont();
  void OnTabWidth();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateMenusAndToolbar();
  // Fill the Edit and View menus; the Edit menu gives Cut, Copy and Paste for the toolbar.
  QList<QAction*> CreateEditMenu(QMenu* menu);
  void CreateViewMenu(QMenu* menu);
  void CreateStatusBar();
  void ReadSettings();
  void WriteSettings() const;
  // Opens path into the document with a progress dialog for a long load; reports a failure.
  bool ReadFile(const QString& path);
  // Asks what to do with one copy of unsaved work; Yes restores, No discards it.
  int AskAboutCopy(const RecoveredText& copy);
  bool SaveTo(const QString& path);
  void ShowTitle();
  void ShowError(const QString& message, const QString& path);

  CTalloView* view_;
  CTalloDoc* doc_;
  PrintCommands* print_;
  FindDialog* find_;
  RecoveryCopy* recovery_;
  RecentFileMenu* recent_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QAction* align_columns_ = nullptr;
  QAction* tab_width_ = nullptr;
  QAction* exact_p_values_ = nullptr;
};

}  // namespace tallo::shell
