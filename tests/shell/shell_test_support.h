#pragma once
// Helpers for the editor's tests: files in a temporary folder, answering the dialogs that
// commands open, and making writes fail as they do for users.

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <csignal>
#include <functional>
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

inline mode_t ModeOf(const QString& path) {
  struct stat info {};
  return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

inline void SetMode(const QString& path, mode_t mode) {
  if (chmod(QFile::encodeName(path).constData(), mode) != 0)
    qFatal("cannot chmod %s", qPrintable(path));
}

// Hands each modal dialog that opens while this object lives to answer, which closes it (or
// leaves it open to be answered again); count tells how many answers there were. An answer may
// open a dialog of its own: it runs as an event of its own, not inside the timer that found it.
class DialogAnswer {
 public:
  explicit DialogAnswer(std::function<void(QDialog*)> answer) : answer_(std::move(answer)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isVisible() || dialog->property("answering").toBool()) {
        return;
      }
      dialog->setProperty("answering", true);
      ++count_;
      QMetaObject::invokeMethod(
          dialog,
          [this, dialog] {
            answer_(dialog);
            dialog->setProperty("answering", false);
          },
          Qt::QueuedConnection);
    });
    timer_.start(5);
  }
  int count() const { return count_; }

 private:
  std::function<void(QDialog*)> answer_;
  QTimer timer_;
  int count_ = 0;
};

// Presses the buttons given, one a message box, the last for all that follow, and keeps what the
// last box said.
class MessageBoxAnswer {
 public:
  explicit MessageBoxAnswer(QList<QMessageBox::StandardButton> buttons)
      : buttons_(std::move(buttons)), answer_([this](QDialog* dialog) {
          auto* box = qobject_cast<QMessageBox*>(dialog);
          if (box == nullptr) return dialog->reject();
          text_ = box->text();
          informative_ = box->informativeText();
          details_ = box->detailedText();
          const auto button = buttons_[std::min<qsizetype>(answer_.count(), buttons_.size()) - 1];
          if (QAbstractButton* answer = box->button(button)) return answer->click();
          box->reject();
        }) {}
  explicit MessageBoxAnswer(QMessageBox::StandardButton button)
      : MessageBoxAnswer(QList<QMessageBox::StandardButton>{button}) {}

  int count() const { return answer_.count(); }
  QString text() const { return text_; }
  QString informative_text() const { return informative_; }
  QString details() const { return details_; }

 private:
  QList<QMessageBox::StandardButton> buttons_;
  QString text_, informative_, details_;
  DialogAnswer answer_;
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
    if (setfsuid(static_cast<uid_t>(-1)) != kNobody) qFatal("root could not give up its rights");
  }
  ~AsOrdinaryUser() {
    if (!was_root_) return;
    setfsuid(0);
    setfsgid(0);
  }
  AsOrdinaryUser(const AsOrdinaryUser&) = delete;
  AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

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
  kReadOnlyFolderAndFile,  // neither the folder nor the file may be written (root acts as "nobody")
  kFolder,                 // the file is replaced by a folder of its name
  kFileSizeLimit,          // no file may grow past 4 KB, as on a disk that fills up
  kInPlaceSizeLimit,       // the folder takes no new files and the file cannot grow past 4 KB
};

// Runs save, which writes the file at path, while failure holds; returns what save
// returned. The folder of path must be in a folder of its own.
template <typename Save>
auto WithSaveFailure(SaveFailure failure, const QString& path, Save save) {
  const QString folder = QFileInfo(path).absolutePath();
  const auto closed = [&](mode_t file_mode) {
    SetMode(QFileInfo(folder).absolutePath(), 0755);  // "nobody" may reach the folder
    SetMode(folder, 0555);
    SetMode(path, file_mode);
    auto result = [&] {
      const AsOrdinaryUser user;
      const FileSizeLimit limit(failure == SaveFailure::kInPlaceSizeLimit ? 4096 : RLIM_INFINITY);
      return save();
    }();
    SetMode(folder, 0755);
    return result;
  };
  switch (failure) {
    case SaveFailure::kReadOnlyFolderAndFile:
      return closed(0444);
    case SaveFailure::kInPlaceSizeLimit:
      return closed(0666);
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
