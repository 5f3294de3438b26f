#include "shell/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace tallo::shell {
namespace {

QString Reason(int error_number) { return QString::fromLocal8Bit(std::strerror(error_number)); }

QString Tr(const char* text) { return QCoreApplication::translate("WriteFileSafely", text); }

// Writes all of bytes from the start of fd and cuts the file there; false with errno set when that
// failed.
bool WriteWhole(int fd, const QByteArray& bytes) {
  if (::lseek(fd, 0, SEEK_SET) < 0) return false;
  for (qsizetype done = 0; done < bytes.size();) {
    const ssize_t count = ::write(fd, bytes.constData() + done, bytes.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;  // a short write is followed by one that fails and says why
    done += count;
  }
  return ::ftruncate(fd, bytes.size()) == 0 && ::fsync(fd) == 0;
}

// The whole content of fd from its start; false with errno set when it cannot be read, or is not
// as long as it was a moment ago.
bool ReadWhole(int fd, QByteArray* bytes) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || ::lseek(fd, 0, SEEK_SET) < 0) return false;
  bytes->resize(info.st_size);
  for (qsizetype done = 0; done < bytes->size();) {
    const ssize_t count = ::read(fd, bytes->data() + done, bytes->size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      if (count == 0) errno = EIO;  // it shrank meanwhile
      return false;
    }
    done += count;
  }
  return true;
}

enum class Replaced { kYes, kNo, kFolderClosed };

// A new file beside the old one that takes its place once it holds all of bytes.
Replaced Replace(const QByteArray& name, const QByteArray& bytes, QString* error) {
  struct stat old {};
  const bool existed = ::stat(name.constData(), &old) == 0;
  // A hidden name in the same folder: ".NAME.XXXXXX", which mkstemp makes unique.
  QByteArray temporary = name;
  temporary.insert(name.lastIndexOf('/') + 1, '.').append(".XXXXXX");
  const int fd = ::mkstemp(temporary.data());
  if (fd == -1) {
    const int failure = errno;
    *error = Reason(failure);
    const bool closed = failure == EACCES || failure == EPERM || failure == EROFS;
    return closed ? Replaced::kFolderClosed : Replaced::kNo;
  }
  mode_t mode = 0;
  if (existed) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  bool written = WriteWhole(fd, bytes) && ::fchmod(fd, mode) == 0;
  // Root keeps the file its owner's; others cannot give files away and keep their own.
  if (written && existed && ::geteuid() == 0) written = ::fchown(fd, old.st_uid, old.st_gid) == 0;
  const int write_error = errno;
  if (::close(fd) != 0 && written) written = false;
  if (written && ::rename(temporary.constData(), name.constData()) == 0) return Replaced::kYes;
  *error = Reason(written ? errno : write_error);
  ::unlink(temporary.constData());
  return Replaced::kNo;
}

// The file itself, rewritten; its old bytes are put back when the new ones do not read back whole.
// A file that cannot be opened for writing leaves error as it is.
bool WriteInPlace(const QByteArray& name, const QByteArray& bytes, QString* error) {
  const int fd = ::open(name.constData(), O_RDWR);
  if (fd == -1) return false;
  QByteArray old;
  if (!ReadWhole(fd, &old)) {
    *error = Reason(errno);
    ::close(fd);
    return false;
  }
  QByteArray written;
  errno = 0;
  const bool whole = WriteWhole(fd, bytes) && ReadWhole(fd, &written) && written == bytes;
  if (!whole) {
    const QString reason =
        errno != 0 ? Reason(errno) : Tr("The file did not read back as written.");
    *error = WriteWhole(fd, old)
                 ? Tr("%1 (written in place: its folder takes no new files). Its old content "
                      "was put back.")
                       .arg(reason)
                 : Tr("%1 (written in place: its folder takes no new files). Its old content "
                      "could not be put back either: the file may be damaged.")
                       .arg(reason);
  }
  ::close(fd);
  return whole;
}

}  // namespace

bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error) {
  const QFileInfo info(path);
  if (info.isDir()) {
    *error = Tr("It is a folder.");
    return false;
  }
  const QString target =
      info.isSymLink() && !info.canonicalFilePath().isEmpty() ? info.canonicalFilePath() : path;
  const QByteArray name = QFile::encodeName(target);
  switch (Replace(name, bytes, error)) {
    case Replaced::kYes:
      return true;
    case Replaced::kFolderClosed:
      return WriteInPlace(name, bytes, error);
    case Replaced::kNo:
      break;
  }
  return false;
}

bool IsWriteProtected(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  struct stat info {};
  if (::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  // Opening for writing, without changing a byte, asks the system itself.
  const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
  if (fd == -1) return true;
  ::close(fd);
  return false;
}

}  // namespace tallo::shell
