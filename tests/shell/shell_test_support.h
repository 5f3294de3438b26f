#pragma once
// Helpers for the editor's tests: files in a temporary folder, answering the message boxes that
// commands open, and making writes fail as they do for users.

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <utility>

namespace tallo::shell::testing {

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write %s", qPrintable(path));
  }
}

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Presses button in the next message box that opens while this object lives, and keeps
// what the box said. Given several buttons, answers as many boxes, one button each.
class MessageBoxAnswer {
 public:
  explicit MessageBoxAnswer(QMessageBox::StandardButton button)
      : MessageBoxAnswer(QList<QMessageBox::StandardButton>{button}) {}

  explicit MessageBoxAnswer(QList<QMessageBox::StandardButton> buttons)
      : buttons_(std::move(buttons)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      text_ = box->text();
      informative_text_ = box->informativeText();
      const QMessageBox::StandardButton button =
          buttons_[std::min<qsizetype>(count_, buttons_.size() - 1)];
      if (++count_ >= buttons_.size()) timer_.stop();
      if (QAbstractButton* answer = box->button(button)) {
        answer->click();
      } else {
        box->reject();
      }
    });
    timer_.start(5);
  }

  // Answers another box the same way as the last.
  void Rearm() { timer_.start(5); }

  int count() const { return count_; }
  QString text() const { return text_; }
  QString informative_text() const { return informative_text_; }

 private:
  QList<QMessageBox::StandardButton> buttons_;
  QTimer timer_;
  QString text_;
  QString informative_text_;
  int count_ = 0;
};

// Root may write into any folder. While this object lives, the calling thread reaches files as the
// unprivileged user "nobody" (through the Linux file-system user and group), so that a read-only
// folder refuses it as it refuses every other user. Does nothing for others.
class AsOrdinaryUser {
 public:
  static constexpr uid_t kNobody = 65534;

  AsOrdinaryUser() : was_root_(geteuid() == 0) {
    if (!was_root_) return;
    setfsgid(kNobody);
    setfsuid(kNobody);
  }
  ~AsOrdinaryUser() {
    if (!was_root_) return;
    setfsuid(0);
    setfsgid(0);
  }
  AsOrdinaryUser(const AsOrdinaryUser&) = delete;
  AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

  // False when root could not give up its rights (an invalid id leaves the current one and returns
  // it).
  bool active() const { return !was_root_ || setfsuid(static_cast<uid_t>(-1)) == kNobody; }

 private:
  bool was_root_;
};

// While this object lives, no file of this process can grow past bytes: a write beyond fails with
// "File too large" as on a full disk, for root too. The signal that would end the process is
// ignored meanwhile.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : previous_handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previous_handler_)(int);
};

// Ways for a save to fail, each as a user meets it.
enum class SaveFailure {
  kReadOnlyFolder,  // the file's folder is made read-only (and root acts as "nobody")
  kFolder,          // the file is replaced by a folder of its name
  kFileSizeLimit,   // no file may grow past 4 KB, as on a disk that fills up
};

// Runs save, which writes the file at path, while failure holds; returns what save
// returned. The folder of path must be in a folder of its own.
template <typename Save>
auto WithSaveFailure(SaveFailure failure, const QString& path, Save save) {
  const QString folder = QFileInfo(path).absolutePath();
  const auto set_mode = [](const QString& name, mode_t mode) {
    if (chmod(QFile::encodeName(name).constData(), mode) != 0)
      qFatal("cannot chmod %s", qPrintable(name));
  };
  switch (failure) {
    case SaveFailure::kReadOnlyFolder: {
      set_mode(QFileInfo(folder).absolutePath(), 0755);  // "nobody" may reach the folder
      set_mode(folder, 0555);
      auto result = [&save] {
        const AsOrdinaryUser user;
        if (!user.active()) qFatal("root could not give up its rights");
        return save();
      }();
      set_mode(folder, 0755);
      return result;
    }
    case SaveFailure::kFolder:
      if (QFile::exists(path) && !QFile::remove(path)) qFatal("cannot remove %s", qPrintable(path));
      if (!QDir().mkdir(path)) qFatal("cannot make the folder %s", qPrintable(path));
      return save();
    case SaveFailure::kFileSizeLimit: {
      const FileSizeLimit limit(4096);
      return save();
    }
  }
  qFatal("unknown save failure");
}

}  // namespace tallo::shell::testing
