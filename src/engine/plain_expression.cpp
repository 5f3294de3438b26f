#include "engine/plain_expression.h"

#include "engine/extraction.h"

namespace tallo {

bool PlainExpression::Add(std::string_view piece) {
  for (char c : piece) {
    if (!Take(c)) return false;
  }
  return true;
}

bool PlainExpression::Finish() {
  // An "=" after a dangling operator, "(", "," or "e" has nothing in front of it.
  if (!EndToken() || text_.empty() || !EndNameRun() || !has_digit_) return false;
  if (token_last_ == '(' || token_last_ == '+' || token_last_ == '-' || token_last_ == '*' ||
      token_last_ == '/' || token_last_ == ',' || token_last_ == 'e') {
    return false;
  }
  if (StartShift(previous_, TokenEnd::Equals) > 0) return false;
  text_ += '=';
  return true;
}

bool PlainExpression::Take(char c) {
  if (leading_ && (c == ' ' || c == '=')) return true;
  if (c == ' ') return EndToken();  // a blank ends a token and vanishes
  const ExpressionChar kind = ClassifyExpressionChar(c);
  switch (kind) {
    case ExpressionChar::Close: case ExpressionChar::Digit: case ExpressionChar::Letter:
    case ExpressionChar::Sign: case ExpressionChar::MulDiv: case ExpressionChar::Comma:
      break;
    default:
      return false;  // prose, an "=" within, TABs and the bytes the extraction drops
  }
  // The extraction drops what comes before an operator at the very start ("*2+3=" is "2+3=").
  if (leading_ && kind == ExpressionChar::MulDiv) return false;
  leading_ = false;
  // An unmatched ")" drops everything in front of it.
  if (c == '(') ++depth_;
  if (c == ')' && depth_-- == 0) return false;
  if (token_length_ > 0 && kind != running_ && !EndToken()) return false;
  running_ = kind;
  ++token_length_;
  token_last_ = c;
  if (IsNameChar(c)) {
    name_run_all_e_ = (name_run_ == 0 || name_run_all_e_) && c == 'e';
    ++name_run_;
  } else if (!EndNameRun()) {
    return false;
  }
  has_digit_ = has_digit_ || IsDigit(c) || c == '.';
  text_ += c;
  return true;
}

// A token has ended: it must not move the expression's start, as two operands side by side
// or an empty "()" would.
bool PlainExpression::EndToken() {
  if (token_length_ == 0) return true;
  TokenEnd kind = ClassifyTokenEnd(std::string_view(&token_last_, 1));
  if (kind == TokenEnd::LoneE && token_length_ > 1) kind = TokenEnd::Letter;  // "name"
  if (StartShift(previous_, kind) > 0) return false;
  previous_ = kind;
  token_length_ = 0;
  return true;
}

// A name of "e" alone ("2e3", "e*2") is an exponent marker the extraction checks; that is
// left to it.
bool PlainExpression::EndNameRun() {
  const bool plain = name_run_ == 0 || !name_run_all_e_;
  name_run_ = 0;
  return plain;
}

}  // namespace tallo
