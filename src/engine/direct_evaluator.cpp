#include "engine/direct_evaluator.h"

#include <cmath>

#include "engine/functions.h"
#include "text/char_classes.h"
#include "text/number_text.h"

namespace tallo {
namespace {

// The reducer performs one operation, or removes one layer of parentheses, per step and
// stops after 200 steps; expressions near that bound are left to it.
constexpr int kMaxWork = 150;
// Deeper nesting is left to the reducer too, which needs no recursion.
constexpr int kMaxDepth = 100;

// A value and, while no operation has produced it, the number as it was written: a lone
// number is answered as written ("5.50"), and whole-number arguments read the text.
struct Value {
  double number = 0;
  std::string_view written;
};

bool IsSign(char c) { return c == '+' || c == '-'; }

// Recursive descent over the forms whose reduction is plain arithmetic:
//   expression := term { sign-run term }            a run of one or two signs is one operator
//   term       := factor { ("*" | "/") [sign] factor }
//   factor     := number | "(" expression ")" | name "(" expression [ "," number ] ")"
// A sign may open a number only where the reducer joins it to the digits: at the start,
// right after "(", and right after "*" or "/". Evaluate() returns false for anything else,
// and for every result that is not a finite number.
class DirectEvaluator {
 public:
  explicit DirectEvaluator(std::string_view body) : text_(body) {}

  bool Evaluate(Value& result) {
    return Expression(result) && position_ == text_.size() && work_ <= kMaxWork;
  }

 private:
  char Peek(std::size_t ahead = 0) const {
    return position_ + ahead < text_.size() ? text_[position_ + ahead] : '\0';
  }

  // An expression may open with a sign: at the start, after "(" and as an argument.
  bool Expression(Value& value) {
    if (++depth_ > kMaxDepth || !Term(true, value)) return false;
    while (IsSign(Peek())) {
      char operation = Peek();
      if (IsSign(Peek(1))) {
        operation = Peek() == Peek(1) ? '+' : '-';
        ++position_;
      }
      ++position_;
      Value right;
      if (!Term(false, right) || !Combine(value, operation, right)) return false;
    }
    --depth_;
    return true;
  }

  bool Term(bool sign_allowed, Value& value) {
    if (!Factor(sign_allowed, value)) return false;
    while (Peek() == '*' || Peek() == '/') {
      const char operation = text_[position_++];
      Value right;
      if (!Factor(true, right) || !Combine(value, operation, right)) return false;
    }
    return true;
  }

  bool Factor(bool sign_allowed, Value& value) {
    const char c = Peek();
    if (IsSign(c)) return sign_allowed && StartsNumber(1) && Number(value);
    if (StartsNumber(0)) return Number(value);
    if (c == '(') {
      ++position_;
      ++work_;  // the layer of parentheses
      return Expression(value) && Close();
    }
    return IsNameChar(c) && Call(value);
  }

  bool StartsNumber(std::size_t ahead) const {
    const char c = Peek(ahead);
    return IsDigit(c) || c == '.';
  }

  bool Close() {
    if (Peek() != ')') return false;
    ++position_;
    return true;
  }

  // [sign] digits [. digits] [e sign digits], followed by an operator, ")", "," or the end.
  bool Number(Value& value) {
    const std::size_t begin = position_;
    if (IsSign(Peek())) ++position_;
    int digits = 0;
    int points = 0;
    for (; IsDigit(Peek()) || Peek() == '.'; ++position_) {
      (Peek() == '.' ? points : digits) += 1;
    }
    if (digits == 0 || points > 1) return false;
    if (Peek() == 'e') {
      if (!IsSign(Peek(1)) || !IsDigit(Peek(2))) return false;
      for (position_ += 2; IsDigit(Peek()); ++position_) {
      }
    }
    const char next = Peek();
    if (!(next == '\0' || IsSign(next) || next == '*' || next == '/' || next == ')' ||
          next == ',')) {
      return false;
    }
    value.written = text_.substr(begin, position_ - begin);
    value.number = ParseReal(value.written);
    return true;
  }

  // name "(" expression ")" or name "(" expression "," number ")". The second argument is
  // a plain number: a computed one would be written after the comma, where the reducer
  // cannot read a negative value.
  bool Call(Value& value) {
    const std::size_t begin = position_;
    while (IsNameChar(Peek())) ++position_;
    if (Peek() != '(') return false;
    ++position_;
    const Function* function = FindFunction(text_.substr(begin, position_ - begin));
    Value x;
    Value y;
    if (function == nullptr || !Expression(x)) return false;
    if (function->arguments == 2) {
      if (Peek() != ',') return false;
      ++position_;
      if (!StartsNumber(0) || !Number(y)) return false;
    }
    if (!Close()) return false;
    const std::string x_text = Text(x);
    if (function->rejects_negative && ParseReal(x_text) < 0) return false;
    ++work_;
    return Result(function->apply(x_text, y.written), value);
  }

  static std::string Text(const Value& value) {
    return value.written.empty() ? NumberText(value.number) : std::string(value.written);
  }

  bool Combine(Value& left, char operation, const Value& right) {
    double result = 0;
    switch (operation) {
      case '*': result = left.number * right.number; break;
      case '/': result = left.number / right.number; break;
      case '+': result = left.number + right.number; break;
      default: result = left.number - right.number; break;
    }
    ++work_;
    return Result(result, left);
  }

  static bool Result(double result, Value& value) {
    if (!std::isfinite(result)) return false;
    value = {RoundToGeneral(result), {}};  // as the reducer writes and reads it back
    return true;
  }

  std::string_view text_;
  std::size_t position_ = 0;
  int work_ = 0;
  int depth_ = 0;
};

}  // namespace

std::optional<std::string> EvaluateDirectly(std::string_view expression) {
  if (expression.empty() || expression.back() != '=') return std::nullopt;
  Value result;
  DirectEvaluator evaluator(expression.substr(0, expression.size() - 1));
  if (!evaluator.Evaluate(result)) return std::nullopt;
  return result.written.empty() ? NumberText(result.number) : std::string(result.written);
}

}  // namespace tallo
