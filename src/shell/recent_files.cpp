#include "shell/recent_files.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSettings>

namespace tallo::shell {
namespace {

const QString kGroup = QStringLiteral("Recent File List");

QString KeyOf(int index) { return QStringLiteral("File%1").arg(index + 1); }

}  // namespace

QStringList ReadRecentFiles() {
  QSettings settings;
  settings.beginGroup(kGroup);
  QStringList files;
  for (int i = 0; i < kRecentFileCount; ++i) {
    const QString file = settings.value(KeyOf(i)).toString();
    if (!file.isEmpty()) files.append(file);
  }
  return files;
}

void WriteRecentFiles(const QStringList& files) {
  QSettings settings;
  settings.beginGroup(kGroup);
  for (int i = 0; i < kRecentFileCount; ++i) {
    if (i < files.size()) {
      settings.setValue(KeyOf(i), files[i]);
    } else {
      settings.remove(KeyOf(i));
    }
  }
}

QStringList WithRecentFile(QStringList files, const QString& path) {
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kRecentFileCount) files.removeLast();
  return files;
}

RecentFileMenu::RecentFileMenu(QMenu* menu, QAction* before, QObject* parent)
    : QObject(parent), placeholder_(new QAction(tr("Recent File"), this)) {
  placeholder_->setEnabled(false);
  menu->insertAction(before, placeholder_);
  for (QAction*& entry : entries_) {
    entry = new QAction(this);
    entry->setStatusTip(tr("Open this document"));
    connect(entry, &QAction::triggered, this,
            [this, entry] { emit OpenRequested(entry->data().toString()); });
    menu->insertAction(before, entry);
  }
  connect(menu, &QMenu::aboutToShow, this, &RecentFileMenu::Refresh);
  Refresh();
}

void RecentFileMenu::Add(const QString& path) {
  WriteRecentFiles(WithRecentFile(ReadRecentFiles(), path));
}

void RecentFileMenu::Remove(const QString& path) {
  QStringList files = ReadRecentFiles();
  if (files.removeAll(path) > 0) WriteRecentFiles(files);
}

void RecentFileMenu::Refresh() {
  const QStringList files = ReadRecentFiles();
  placeholder_->setVisible(files.isEmpty());
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* entry = entries_[static_cast<std::size_t>(i)];
    entry->setVisible(i < files.size());
    if (i >= files.size()) continue;
    QString shown = QDir::toNativeSeparators(files[i]);
    shown.replace(u'&', QStringLiteral("&&"));
    entry->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
    entry->setData(files[i]);
  }
}

}  // namespace tallo::shell
