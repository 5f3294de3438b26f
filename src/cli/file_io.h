#pragma once
// Whole-file reading, buffered writing and atomic replacement, reporting failures as text.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tallo::cli {

// A file's bytes, held in room that is not cleared before they are read into it.
class FileContent {
 public:
  std::string_view text() const { return {bytes_.get(), size_}; }

 private:
  friend bool ReadWholeFile(const std::string& path, FileContent& content, std::string& error);
  std::unique_ptr<char[]> bytes_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
};

// Reads a whole file, or standard input for "-". On failure returns false and sets error to
// the reason.
bool ReadWholeFile(const std::string& path, FileContent& content, std::string& error);

// Writes to a file descriptor through a buffer, so that many small pieces cost few system
// calls. The first failure is kept and every write after it is dropped.
class BufferedWriter {
 public:
  explicit BufferedWriter(int fd) : fd_(fd) { buffer_.reserve(kCapacity); }
  BufferedWriter(const BufferedWriter&) = delete;
  BufferedWriter& operator=(const BufferedWriter&) = delete;

  void Write(std::string_view piece);
  // Writes what the buffer holds; false, with the reason in error, after any failure.
  bool Flush(std::string& error);

 private:
  static constexpr std::size_t kCapacity = 1 << 16;
  void WriteOut(std::string_view data);

  int fd_;
  std::string buffer_;
  int failure_ = 0;  // the errno of the first failed write
};

// Replaces a file's content atomically: the new content goes into a temporary file in the
// same folder, which gets the original's permissions and is renamed over it. A symbolic
// link is followed, so the file it names is replaced and the link kept. Until Commit
// succeeds the original is untouched, and a replacement not committed leaves nothing behind.
class FileReplacement {
 public:
  FileReplacement() = default;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  ~FileReplacement() { Abandon(); }

  // Creates the temporary file beside the one path names.
  bool Open(const std::string& path, std::string& error);
  // The new content goes here, once Open succeeded.
  BufferedWriter& content() { return *writer_; }
  bool Commit(std::string& error);
  // Removes the temporary file, if any.
  void Abandon();

 private:
  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  unsigned mode_ = 0;
  unsigned owner_ = 0;
  unsigned group_ = 0;
  std::optional<BufferedWriter> writer_;
};

}  // namespace tallo::cli
