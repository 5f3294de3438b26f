#pragma once
// What the test programs share: a file read whole, byte for byte, and the CR LF twin of a
// text written with LF.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace tallo::testing_support {

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

inline std::string WithCrLf(std::string_view lf) {
  std::string crlf;
  for (char c : lf) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

}  // namespace tallo::testing_support
