#pragma once
// Character classes of the worksheet's three scanners, and the token-end class that the
// scanners and the data readers share.

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
WorksheetChar ClassifyWorksheetChar(char c);

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
ExpressionChar ClassifyExpressionChar(char c);

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
StatementChar ClassifyStatementChar(char c);

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

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Codes 65..122, the run that the scanners treat as a name.
inline bool IsNameChar(char c) { return c >= 'A' && c <= 'z'; }

// Bytes of the UTF-8 character that starts at text[pos] (1 for ASCII and for a stray or
// malformed byte), never reaching past the end of the text.
std::size_t Utf8CharLength(std::string_view text, std::size_t pos);

}  // namespace tallo
