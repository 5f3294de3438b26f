#pragma once
// Test texts are written with LF; this gives their CR LF twin.

#include <string>
#include <string_view>

namespace tallo::testing_support {

inline std::string WithCrLf(std::string_view lf) {
  std::string crlf;
  for (char c : lf) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

}  // namespace tallo::testing_support
