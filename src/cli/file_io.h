#pragma once
// Whole-file reading and atomic replacement, reporting failures as text.

#include <string>
#include <string_view>

namespace tallo::cli {

// Reads a whole file, or standard input for "-". On failure returns false and sets error to
// the reason.
bool ReadWholeFile(const std::string& path, std::string& content, std::string& error);

// Writes all of data to standard output.
bool WriteStandardOutput(std::string_view data, std::string& error);

// Replaces a file's content atomically: a temporary file in the same folder, given the
// original's permissions, is renamed over it. A symbolic link is followed, so the file it
// names is replaced and the link kept. On failure the original is untouched.
bool ReplaceFile(const std::string& path, std::string_view content, std::string& error);

}  // namespace tallo::cli
