#include "text/char_classes.h"

namespace tallo {

TokenEnd ClassifyTokenEnd(std::string_view token) {
  if (token.empty()) return TokenEnd::Other;
  if (token == "e") return TokenEnd::LoneE;
  const char last = token.back();
  if (IsDigit(last) || last == '.') return TokenEnd::Number;
  if (IsNameChar(last)) return TokenEnd::Letter;
  switch (last) {
    case '(': return TokenEnd::Open;
    case ')': return TokenEnd::Close;
    case '+': case '-': return TokenEnd::Sign;
    case '*': case '/': return TokenEnd::MulDiv;
    case ',': return TokenEnd::Comma;
    case '=': return TokenEnd::Equals;
    default: return TokenEnd::Other;
  }
}

std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 1;
  if (lead >= 0xF0 && lead <= 0xF7) {
    length = 4;
  } else if (lead >= 0xE0) {
    length = lead <= 0xEF ? 3 : 1;
  } else if (lead >= 0xC0) {
    length = 2;
  }
  // A sequence cut short by a non-continuation byte or by the end of the text ends there.
  std::size_t n = 1;
  while (n < length && pos + n < text.size() &&
         (static_cast<unsigned char>(text[pos + n]) & 0xC0) == 0x80) {
    ++n;
  }
  return n;
}

}  // namespace tallo
