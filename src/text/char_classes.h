#pragma once
// Character classes of the worksheet's three scanners, and the token-end class that the
// scanners and the data readers share.

#include <array>
#include <cstddef>
#include <string_view>

namespace tallo {

// Classes of the pre-pass: a line token is a maximal run of one class.
enum class WorksheetChar {
  Other,    // TAB, "{", "}", codes above 122, bytes 128..255
  Number,   // digits, ".", "+", "-"
  Letter,   // codes 65..122: the letters and "[", "\", "]", "^", "_", "`"
  Paren,    // "(" and ")"
  MulDiv,   // "*" and "/"
  Equals,   // "="
  Comma,    // ","
  Space,    // " "
  LineEnd,  // CR and LF
};

// Classes of the expression evaluator. A function name and its "(" share a class, so
// "sqrt(" is one token.
enum class ExpressionChar {
  Close,   // ")"
  Other,   // TAB, CR, LF, bytes 128..255 and the rest
  Digit,   // digits and "."
  Letter,  // codes 65..122 and "("
  Sign,    // "+" and "-"
  MulDiv,  // "*" and "/"
  Space,   // " "
  Equals,  // "="
  Comma,   // ","
  Brace,   // codes 123..127
};

// Classes of the statement driver: a token is a maximal run of one class, so "((" and
// "{}" are single tokens and "a1" is two.
enum class StatementChar {
  Other,
  Number,   // digits, ".", "+", "-"
  Letter,   // codes 65..122
  Paren,    // "(" and ")"
  MulDiv,   // "*" and "/"
  Equals,   // "="
  Comma,    // ","
  Blank,    // space and TAB
  LineEnd,  // CR and LF
  Brace,    // "{" and "}"
};

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The characters of a number's digits, as the scanners read them.
constexpr bool IsDigitOrPoint(char c) { return IsDigit(c) || c == '.'; }

// Whether a token ends, or starts, with a digit or a point: a number written right
// against what follows or precedes it.
inline bool EndsWithDigitOrPoint(std::string_view token) {
  return !token.empty() && IsDigitOrPoint(token.back());
}
inline bool StartsWithDigitOrPoint(std::string_view token) {
  return !token.empty() && IsDigitOrPoint(token[0]);
}

// Codes 65..122, the run that the scanners treat as a name.
constexpr bool IsNameChar(char c) { return c >= 'A' && c <= 'z'; }

namespace char_class_rules {

constexpr WorksheetChar Worksheet(char c) {
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

constexpr ExpressionChar Expression(char c) {
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

constexpr StatementChar Statement(char c) {
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

// The scanners classify every byte of a text, so each rule becomes a table of 256 classes.
template <typename Class>
constexpr std::array<Class, 256> TableOf(Class (*rule)(char)) {
  std::array<Class, 256> table{};
  for (int code = 0; code < 256; ++code) table[code] = rule(static_cast<char>(code));
  return table;
}

inline constexpr auto kWorksheet = TableOf(Worksheet);
inline constexpr auto kExpression = TableOf(Expression);
inline constexpr auto kStatement = TableOf(Statement);

}  // namespace char_class_rules

inline WorksheetChar ClassifyWorksheetChar(char c) {
  return char_class_rules::kWorksheet[static_cast<unsigned char>(c)];
}
inline ExpressionChar ClassifyExpressionChar(char c) {
  return char_class_rules::kExpression[static_cast<unsigned char>(c)];
}
inline StatementChar ClassifyStatementChar(char c) {
  return char_class_rules::kStatement[static_cast<unsigned char>(c)];
}

// Class of a token by its last character.
enum class TokenEnd {
  Other,
  Number,  // ends in a digit or "." (the numeric test of the readers)
  Letter,  // ends in a character of code 65..122
  Open,    // "("
  Close,   // ")"
  Sign,    // "+" or "-"
  MulDiv,  // "*" or "/"
  Comma,
  Equals,
  LoneE,   // the text is exactly "e"
};
TokenEnd ClassifyTokenEnd(std::string_view token);


// Bytes of the UTF-8 character that starts at text[pos] (1 for ASCII and for a stray or
// malformed byte), never reaching past the end of the text.
std::size_t Utf8CharLength(std::string_view text, std::size_t pos);

}  // namespace tallo
