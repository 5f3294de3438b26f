#include "cli/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace tallo::cli {
namespace {

std::string Reason(int error_number) { return std::strerror(error_number); }

bool ReadAll(int fd, std::string& content, std::string& error) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      error = Reason(errno);
      return false;
    }
    content.append(buffer, static_cast<std::size_t>(got));
  }
}

bool WriteAll(int fd, std::string_view data, std::string& error) {
  while (!data.empty()) {
    const ssize_t put = write(fd, data.data(), data.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      error = Reason(errno);
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

// The file a path finally names, links resolved; the path itself when it cannot be
// resolved (the open that follows reports why).
std::string ResolvedPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// The folder part of a path with its last slash; empty for a bare name, which names a file
// in the current folder (rfind gives npos, and npos + 1 wraps to 0).
std::string FolderPrefixOf(const std::string& path) {
  return path.substr(0, path.rfind('/') + 1);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& content, std::string& error) {
  content.clear();
  if (path == "-") return ReadAll(STDIN_FILENO, content, error);
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = Reason(errno);
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    close(fd);
    error = Reason(EISDIR);
    return false;
  }
  const bool ok = ReadAll(fd, content, error);
  close(fd);
  return ok;
}

bool WriteStandardOutput(std::string_view data, std::string& error) {
  return WriteAll(STDOUT_FILENO, data, error);
}

bool ReplaceFile(const std::string& path, std::string_view content, std::string& error) {
  const std::string target = ResolvedPath(path);
  struct stat info {};
  if (stat(target.c_str(), &info) != 0) {
    error = Reason(errno);
    return false;
  }
  std::string temporary = FolderPrefixOf(target) + ".tallo-calc.XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    error = Reason(errno);
    return false;
  }
  const auto failed = [&](bool step_ok) {
    if (!step_ok) error = Reason(errno);
    return !step_ok;
  };
  bool ok = WriteAll(fd, content, error);
  ok = ok && !failed(fchmod(fd, info.st_mode & 07777) == 0);
  ok = ok && !failed(fsync(fd) == 0);
  // Keeping the owner works only for a privileged user and is not worth failing for.
  if (ok && fchown(fd, info.st_uid, info.st_gid) != 0) errno = 0;
  const bool closed = close(fd) == 0;
  ok = ok && !failed(closed);
  ok = ok && !failed(rename(temporary.c_str(), target.c_str()) == 0);
  if (!ok) unlink(temporary.c_str());
  return ok;
}

}  // namespace tallo::cli
