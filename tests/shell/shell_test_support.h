#pragma once
// Helpers for the editor's tests: files in a temporary folder, answering the dialogs that
// commands open, making writes fail as they do for users, and case tables.

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>
#include <QtWidgets>
#include <array>
#include <csignal>
#include <functional>
#include <optional>

namespace tallo::shell::testing {

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("cannot write");
}

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline mode_t ModeOf(const QString& path) {
  struct stat info {};
  return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// When the entries of a folder (or a file's content) last changed, to the nanosecond.
inline std::pair<time_t, long> ChangeTimeOf(const QString& path) {
  struct stat info {};
  stat(QFile::encodeName(path).constData(), &info);
  return {info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

inline void SetMode(const QString& path, mode_t mode) {
  if (chmod(QFile::encodeName(path).constData(), mode) != 0) qFatal("cannot chmod");
}

// A field of a case table with its escapes replaced: \n \r \t \0, \xNN (a byte of a bytes
// field, else a Latin-1 character), \uXXXX and \UXXXXXXXX, \*N for the character before it N times
// in all, and \ before any other character for that character.
inline QString Unescape(const QString& field) {
  static const QRegularExpression escape(R"(\\(x..|u....|U........|\*\d+|.))");
  QString text;
  qsizetype done = 0;
  for (const QRegularExpressionMatch& match : escape.globalMatch(field)) {
    text += field.mid(done, match.capturedStart() - done);
    done = match.capturedEnd();
    const QString code = match.captured(1);
    if (code.startsWith(u'*')) {
      text += QString(code.mid(1).toInt() - 1, text.back());
    } else if (code.size() > 1) {
      text += QStringView(QChar::fromUcs4(code.mid(1).toUInt(nullptr, 16)));
    } else {
      const qsizetype simple = QStringLiteral("nrt0").indexOf(code);
      text += simple < 0 ? code[0] : QChar(u"\n\r\t"[simple]);  // the array's end is the \0
    }
  }
  return text + field.mid(done);
}

// The rows of the TAB-separated table in tests/shell/data ("#" lines are comments), columns fields
// each, escapes replaced.
inline QList<QStringList> CaseRows(const char* table, qsizetype columns) {
  QFile file(QStringLiteral(TALLO_SHELL_TEST_DATA "/") + table);
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", table);
  QList<QStringList> rows;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (line.isEmpty() || line.startsWith('#')) continue;
    QStringList& row = rows.emplace_back();
    for (const QString& field : QString::fromUtf8(line).split(u'\t')) row << Unescape(field);
    if (row.size() != columns) qFatal("%s: a row without %lld fields", table, columns);
  }
  return rows;
}

// A test row for each row of a case table of columns fields, in one QStringList column "row".
inline void AddCaseRows(const char* table, qsizetype columns) {
  QTest::addColumn<QStringList>("row");
  for (const QStringList& row : CaseRows(table, columns)) {
    QTest::newRow(qPrintable(row.join(u' ').left(60))) << row;
  }
}

// The N fields of the current row of a case table.
template <std::size_t N>
std::array<QString, N> Fields() {
  const auto& row = *static_cast<QStringList*>(QTest::qData("row", qMetaTypeId<QStringList>()));
  std::array<QString, N> fields;
  std::copy_n(row.cbegin(), N, fields.begin());
  return fields;
}

// Hands each modal dialog that opens while this object lives to answer (as an event of its own:
// the answer may open a dialog too); count tells how many answers there were.
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
          informative_ << box->informativeText();
          details_ = box->detailedText();
          box->button(buttons_[std::min(answer_.count(), int(buttons_.size())) - 1])->click();
        }) {}
  explicit MessageBoxAnswer(QMessageBox::StandardButton button)
      : MessageBoxAnswer(QList<QMessageBox::StandardButton>{button}) {}

  int count() const { return answer_.count(); }
  QString text() const { return text_; }
  // The informative texts of all the boxes.
  QStringList informative_texts() const { return informative_; }
  QString details() const { return details_; }

 private:
  QList<QMessageBox::StandardButton> buttons_;
  QString text_, details_;
  QStringList informative_;
  DialogAnswer answer_;
};

// Root may write into any folder: while this object lives, the calling thread reaches files as
// "nobody" (the Linux file-system user and group). Does nothing for others.
class AsOrdinaryUser {
 public:
  AsOrdinaryUser() : root_(geteuid() == 0) {
    if (root_ && (setfsgid(65534), setfsuid(65534), setfsuid(uid_t(-1)) != 65534))
      qFatal("no nobody");
  }
  ~AsOrdinaryUser() {
    if (root_) setfsuid(0), setfsgid(0);
  }

 private:
  bool root_;
};

// While this object lives, a write that makes a file grow past bytes fails with "File too large"
// as on a full disk, for root too (the signal that would end the process is ignored).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, handler_);
  }

 private:
  rlimit saved_{};
  void (*handler_)(int);
};

// Runs save, which writes the file at path, while a save fails as it does for users: "closed
// folder and file" (neither may be written; root acts as "nobody"), "target is a folder" (one of
// its name in its place), "write cut short" (no file may grow past 4 KB, as on a disk that fills
// up) or "in place, cut short" (the folder takes no new files and the file cannot grow past
// 4 KB). Returns what save returned. The folder of path must be in a folder of its own.
template <typename Save>
auto WithSaveFailure(const QString& failure, const QString& path, Save save) {
  const QString folder = QFileInfo(path).absolutePath();
  if (failure == "target is a folder") {
    QFile::remove(path);
    QDir().mkdir(path);
    return save();
  }
  const bool in_place = failure == "in place, cut short";
  const bool closed = in_place || failure == "closed folder and file";
  if (closed) {
    SetMode(QFileInfo(folder).absolutePath(), 0755);  // "nobody" may reach the folder
    SetMode(folder, 0555);
    SetMode(path, in_place ? 0666 : 0444);
  }
  auto result = [&] {
    std::optional<AsOrdinaryUser> user;
    if (closed) user.emplace();
    const FileSizeLimit limit(closed && !in_place ? RLIM_INFINITY : 4096);
    return save();
  }();
  if (closed) SetMode(folder, 0755);
  return result;
}

}  // namespace tallo::shell::testing
