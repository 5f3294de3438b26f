#include "engine/direct_evaluator.h"

#include <cmath>
#include <span>

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
// number is answered as written ("5.50"). A computed value is held as computed; the
// reducer would write it as "%g" text and read it back, which Used() does where an
// operation takes it. The final answer needs no such rounding: its "%g" text is the same.
using Value = Argument;

double Used(const Value& value) {
  return value.written.empty() ? RoundToGeneral(value.value) : value.value;
}

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
  explicit DirectEvaluator(std::span<const Lexeme> lexemes) : lexemes_(lexemes) {}

  bool Evaluate(Value& result) {
    return Expression(result) && position_ == lexemes_.size() && work_ <= kMaxWork;
  }

 private:
  bool Is(LexemeKind kind, std::size_t ahead = 0) const {
    return position_ + ahead < lexemes_.size() && lexemes_[position_ + ahead].kind == kind;
  }
  char Operator(std::size_t ahead = 0) const { return lexemes_[position_ + ahead].text[0]; }

  // An expression may open with a sign: at the start, after "(" and as an argument.
  bool Expression(Value& value) {
    if (++depth_ > kMaxDepth || !Term(true, value)) return false;
    while (Is(LexemeKind::Sign)) {
      char operation = Operator();
      if (Is(LexemeKind::Sign, 1)) {
        operation = Operator() == Operator(1) ? '+' : '-';
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
    while (Is(LexemeKind::MulDiv)) {
      const char operation = Operator();
      ++position_;
      Value right;
      if (!Factor(true, right) || !Combine(value, operation, right)) return false;
    }
    return true;
  }

  bool Factor(bool sign_allowed, Value& value) {
    if (Is(LexemeKind::Sign)) {
      if (!sign_allowed || !Is(LexemeKind::Number, 1)) return false;
      const char sign = Operator();
      ++position_;
      if (!Number(value)) return false;
      value.sign = sign;
      if (sign == '-') value.value = -value.value;
      return true;
    }
    if (Is(LexemeKind::Number)) return Number(value);
    if (Is(LexemeKind::Open)) {
      ++position_;
      ++work_;  // the layer of parentheses
      return Expression(value) && Close();
    }
    return Is(LexemeKind::Call) && Call(value);
  }

  bool Close() {
    if (!Is(LexemeKind::Close)) return false;
    ++position_;
    return true;
  }

  // A number. What may follow it (an operator, ")", "," or the end) the callers take;
  // anything else is left over, and the expression is not read.
  bool Number(Value& value) {
    const Lexeme& number = lexemes_[position_++];
    value = {number.number, number.text};
    return true;
  }

  // name "(" expression ")" or name "(" expression "," number ")". The second argument is
  // a plain number: a computed one would be written after the comma, where the reducer
  // cannot read a negative value.
  bool Call(Value& value) {
    const Function& function = *lexemes_[position_++].function;
    Value x;
    Value y;
    if (!Expression(x)) return false;
    if (function.arguments == 2) {
      if (!Is(LexemeKind::Comma)) return false;
      ++position_;
      if (!Is(LexemeKind::Number) || !Number(y)) return false;
    }
    if (!Close()) return false;
    if (function.rejects_negative && x.value < 0) return false;
    ++work_;
    x.value = Used(x);
    return Result(function.apply(x, y), value);
  }

  bool Combine(Value& left, char operation, const Value& right) {
    double result = 0;
    switch (operation) {
      case '*': result = Used(left) * Used(right); break;
      case '/': result = Used(left) / Used(right); break;
      case '+': result = Used(left) + Used(right); break;
      default: result = Used(left) - Used(right); break;
    }
    ++work_;
    return Result(result, left);
  }

  static bool Result(double result, Value& value) {
    if (!std::isfinite(result)) return false;
    value = {result, {}};
    return true;
  }

  std::span<const Lexeme> lexemes_;
  std::size_t position_ = 0;
  int work_ = 0;
  int depth_ = 0;
};

// Cuts an expression's text (without its "=") into lexemes, false at anything the direct
// evaluator cannot read: prose, a name without "(", an unknown function, a malformed number.
bool CutText(std::string_view text, Lexemes& lexemes) {
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const std::size_t begin = i;
    if (IsDigitOrPoint(c)) {
      i = DigitRunEnd(text, i);
      if (i == std::string_view::npos) return false;
      if (i < text.size() && text[i] == 'e') {  // the exponent: "e", a sign, digits
        if (i + 2 >= text.size() || !IsSign(text[i + 1]) || !IsDigit(text[i + 2])) return false;
        for (i += 2; i < text.size() && IsDigit(text[i]); ++i) {
        }
      }
      const std::string_view number = text.substr(begin, i - begin);
      lexemes.push_back({LexemeKind::Number, number, nullptr, ParseReal(number)});
      continue;
    }
    if (IsNameChar(c)) {
      while (i < text.size() && IsNameChar(text[i])) ++i;
      if (i == text.size() || text[i] != '(') return false;
      const std::string_view name = text.substr(begin, ++i - begin);
      const Function* function = FindFunction(name);
      if (function == nullptr) return false;
      lexemes.push_back({LexemeKind::Call, name, function});
      continue;
    }
    LexemeKind kind = LexemeKind::Comma;
    switch (c) {
      case '+': case '-': kind = LexemeKind::Sign; break;
      case '*': case '/': kind = LexemeKind::MulDiv; break;
      case '(': kind = LexemeKind::Open; break;
      case ')': kind = LexemeKind::Close; break;
      case ',': break;
      default: return false;
    }
    lexemes.push_back({kind, text.substr(i++, 1)});
  }
  return true;
}

}  // namespace

std::size_t DigitRunEnd(std::string_view text, std::size_t begin) {
  bool digit = false;
  int points = 0;
  std::size_t i = begin;
  for (; i < text.size() && IsDigitOrPoint(text[i]); ++i) {
    if (text[i] == '.') {
      ++points;
    } else {
      digit = true;
    }
  }
  return digit && points <= 1 ? i : std::string_view::npos;
}

std::optional<std::string> EvaluateDirectly(std::string_view expression) {
  if (expression.empty() || expression.back() != '=') return std::nullopt;
  Lexemes lexemes;
  std::string answer;
  if (!CutText(expression.substr(0, expression.size() - 1), lexemes) ||
      !EvaluateLexemes(lexemes, answer)) {
    return std::nullopt;
  }
  return answer;
}

bool EvaluateLexemes(std::span<const Lexeme> lexemes, std::string& answer) {
  Value result;
  DirectEvaluator evaluator(lexemes);
  if (!evaluator.Evaluate(result)) return false;
  answer.clear();
  AppendWrittenText(answer, result);
  return true;
}

}  // namespace tallo
