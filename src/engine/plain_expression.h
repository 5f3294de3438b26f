#pragma once
// The quick reading of an expression that the extraction keeps whole: the text in front of
// an "=" as substitution leaves it ("( 13.5 + 4.96 )/ 9 -pow( 4.96 ,2)"), taken piece by
// piece in one pass, without the tokens, copies and second scans of the full extraction.
// It accepts only what it can read exactly as ExtractTail and CheckExponentMarkers would;
// anything else (prose, exponents, a name beside a number, a dangling operator, bytes of
// 128 and above) is left to them.

#include <string>
#include <string_view>

#include "text/char_classes.h"

namespace tallo {

class PlainExpression {
 public:
  // The expression's text goes into text, in place of what it held.
  explicit PlainExpression(std::string& text) : text_(text) { text_.clear(); }

  // Adds the next piece of the text in front of the "=". Blanks and "=" in front of the
  // expression are passed over. False once the text is not one the extraction keeps whole.
  bool Add(std::string_view piece);

  // Ends the text at its "=". True when the extraction would keep all of it as the
  // expression, which holds a digit or a point, and which does not go on from something in
  // front of it; the text then holds that expression without its blanks, ending in "=".
  bool Finish();

 private:
  bool Take(char c);
  bool EndToken();
  bool EndNameRun();

  std::string& text_;
  bool leading_ = true;         // only blanks and "=" so far
  TokenEnd previous_ = TokenEnd::Other;  // Other, which moves nothing, before the first token
  ExpressionChar running_ = ExpressionChar::Other;
  std::size_t token_length_ = 0;
  char token_last_ = '\0';
  std::size_t name_run_ = 0;    // letters just taken
  bool name_run_all_e_ = false;
  bool has_digit_ = false;
  std::size_t depth_ = 0;       // of parentheses
};

}  // namespace tallo
