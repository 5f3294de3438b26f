#include "cli/file_io.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace tallo::cli {
namespace {

std::string Reason(int error_number) { return std::strerror(error_number); }

// Room for a file's bytes. Where the system gives huge pages on request, room of many
// megabytes asks for them: reading a large worksheet then costs a page fault per 2 MB
// instead of one per 4 KB.
std::unique_ptr<char[]> RoomFor(std::size_t size) {
  auto room = std::make_unique_for_overwrite<char[]>(size);
  const std::uintptr_t page = 4096;
  const auto begin = (reinterpret_cast<std::uintptr_t>(room.get()) + page - 1) / page * page;
  const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(room.get()) + size;
  if (end > begin + (std::uintptr_t{1} << 21)) {
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);  // a hint: may fail
  }
  return room;
}

// Reads to the end into bytes of the given capacity, the size the file is expected to have:
// a regular file is read into room made for it at once, so that a large one is never held
// twice while its buffer grows. The room is not cleared first: read fills it.
bool ReadAll(int fd, std::unique_ptr<char[]>& bytes, std::size_t& capacity, std::size_t& filled,
             std::string& error) {
  filled = 0;
  for (;;) {
    if (filled == capacity) {
      const std::size_t larger = std::max<std::size_t>(2 * filled, 1 << 16);
      auto grown = RoomFor(larger);
      std::copy(bytes.get(), bytes.get() + filled, grown.get());
      bytes = std::move(grown);
      capacity = larger;
    }
    const ssize_t got = read(fd, bytes.get() + filled, capacity - filled);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      error = Reason(errno);
      return false;
    }
    filled += static_cast<std::size_t>(got);
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

bool ReadWholeFile(const std::string& path, FileContent& content, std::string& error) {
  content = FileContent();
  if (path == "-") {
    return ReadAll(STDIN_FILENO, content.bytes_, content.capacity_, content.size_, error);
  }
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
  // One byte more than the file holds, so that reading to its end needs no more room.
  if (S_ISREG(info.st_mode)) {
    content.capacity_ = static_cast<std::size_t>(info.st_size) + 1;
    content.bytes_ = RoomFor(content.capacity_);
  }
  const bool ok = ReadAll(fd, content.bytes_, content.capacity_, content.size_, error);
  close(fd);
  return ok;
}

void BufferedWriter::Write(std::string_view piece) {
  if (buffer_.size() + piece.size() > kCapacity) {
    WriteOut(buffer_);
    buffer_.clear();
  }
  if (piece.size() > kCapacity) {
    WriteOut(piece);
  } else {
    buffer_ += piece;
  }
}

bool BufferedWriter::Flush(std::string& error) {
  WriteOut(buffer_);
  buffer_.clear();
  if (failure_ == 0) return true;
  error = Reason(failure_);
  return false;
}

void BufferedWriter::WriteOut(std::string_view data) {
  while (failure_ == 0 && !data.empty()) {
    const ssize_t put = write(fd_, data.data(), data.size());
    if (put < 0) {
      if (errno != EINTR) failure_ = errno;
      continue;
    }
    data.remove_prefix(static_cast<std::size_t>(put));
  }
}

bool FileReplacement::Open(const std::string& path, std::string& error) {
  target_ = ResolvedPath(path);
  struct stat info {};
  if (stat(target_.c_str(), &info) != 0) {
    error = Reason(errno);
    return false;
  }
  mode_ = info.st_mode & 07777;
  owner_ = info.st_uid;
  group_ = info.st_gid;
  temporary_ = FolderPrefixOf(target_) + ".tallo-calc.XXXXXX";
  fd_ = mkostemp(temporary_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    error = Reason(errno);
    temporary_.clear();
    return false;
  }
  writer_.emplace(fd_);
  return true;
}

bool FileReplacement::Commit(std::string& error) {
  const auto failed = [&](bool step_ok) {
    if (!step_ok) error = Reason(errno);
    return !step_ok;
  };
  bool ok = writer_->Flush(error);
  // Keeping the owner works only for a privileged user and is not worth failing for. It
  // comes before the mode, which a change of owner may strip of its set-user-ID bit.
  if (fchown(fd_, owner_, group_) != 0) errno = 0;
  ok = ok && !failed(fchmod(fd_, mode_) == 0);
  ok = ok && !failed(fsync(fd_) == 0);
  const bool closed = close(fd_) == 0;
  fd_ = -1;
  ok = ok && !failed(closed);
  ok = ok && !failed(rename(temporary_.c_str(), target_.c_str()) == 0);
  if (ok) temporary_.clear();
  Abandon();
  return ok;
}

void FileReplacement::Abandon() {
  writer_.reset();
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace tallo::cli
