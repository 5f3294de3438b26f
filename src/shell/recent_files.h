#pragma once
// The recent-file list: the four files opened or saved last, newest first, kept in the
// per-user settings as "Recent File List/File1" to "File4" and shown in the File menu.

#include <QObject>
#include <QStringList>
#include <array>

class QAction;
class QMenu;

namespace tallo::shell {

inline constexpr int kRecentFileCount = 4;

QStringList ReadRecentFiles();
void WriteRecentFiles(const QStringList& files);

// files with path first, an older mention of it dropped, cut to kRecentFileCount.
QStringList WithRecentFile(QStringList files, const QString& path);

class RecentFileMenu : public QObject {
  Q_OBJECT

 public:
  // Puts the list into menu before the action before; it is read afresh whenever the menu
  // opens, so that every window of the application shows the same list.
  RecentFileMenu(QMenu* menu, QAction* before, QObject* parent);

  void Add(const QString& path);
  void Remove(const QString& path);

 signals:
  void OpenRequested(const QString& path);

 private:
  void Refresh();

  QAction* placeholder_;  // "Recent File", disabled, while the list is empty
  std::array<QAction*, kRecentFileCount> entries_{};
};

}  // namespace tallo::shell
