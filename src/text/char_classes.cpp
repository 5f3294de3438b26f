#include "text/char_classes.h"

namespace tallo {

WorksheetChar ClassifyWorksheetChar(char c) {
  if (IsDigit(c) || c == '.' || c == '+' || c == '-') return WorksheetChar::Number;
  if (IsNameChar(c)) return WorksheetChar::Letter;
  switch (c) {
    case '(': case ')': return WorksheetChar::Paren;
    case '*': case '/': return WorksheetChar::MulDiv;
    case '=': return WorksheetChar::Equals;
    case ',': return WorksheetChar::Comma;
    case ' ': return WorksheetChar::Space;
    case '\r': case '\n': return WorksheetChar::LineEnd;
    default: return WorksheetChar::Other;
  }
}

ExpressionChar ClassifyExpressionChar(char c) {
  if (IsDigit(c) || c == '.') return ExpressionChar::Digit;
  if (IsNameChar(c) || c == '(') return ExpressionChar::Letter;
  const auto code = static_cast<unsigned char>(c);
  if (code >= 123 && code <= 127) return ExpressionChar::Brace;
  switch (c) {
    case '+': case '-': return ExpressionChar::Sign;
    case '*': case '/': return ExpressionChar::MulDiv;
    case ' ': return ExpressionChar::Space;
    case '=': return ExpressionChar::Equals;
    case ',': return ExpressionChar::Comma;
    case ')': return ExpressionChar::Close;
    default: return ExpressionChar::Other;
  }
}

StatementChar ClassifyStatementChar(char c) {
  if (IsDigit(c) || c == '.' || c == '+' || c == '-') return StatementChar::Number;
  if (IsNameChar(c)) return StatementChar::Letter;
  switch (c) {
    case '(': case ')': return StatementChar::Paren;
    case '*': case '/': return StatementChar::MulDiv;
    case '=': return StatementChar::Equals;
    case ',': return StatementChar::Comma;
    case ' ': case '\t': return StatementChar::Blank;
    case '\r': case '\n': return StatementChar::LineEnd;
    case '{': case '}': return StatementChar::Brace;
    default: return StatementChar::Other;
  }
}

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
