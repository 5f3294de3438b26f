#include "engine/expression_reasons.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/extraction.h"
#include "engine/functions.h"
#include "engine/nearest_name.h"
#include "engine/statement_reasons.h"
#include "procedures/registry.h"
#include "text/char_classes.h"
#include "text/number_text.h"

namespace tallo {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsOperator(char c) { return c == '+' || c == '-' || c == '*' || c == '/'; }

// A letter of a name; "^" is of the letters' class but is read as a power sign here.
bool IsLetter(char c) { return IsNameChar(c) && c != '^'; }

FoundReason Found(ReasonKind kind, std::string message, std::string undefined = {}) {
  return {0, kind, std::move(message), ReasonSource::Expression, std::move(undefined)};
}

std::string DidYouMean(const std::string& nearest) {
  return nearest.empty() ? std::string() : "; did you mean " + nearest + "?";
}

// The part of the text that the reason reads: where the expression starts, widened over
// what it continues ("2^" of "2^10", "log" of "log10(100)", "sqrt " of "sqrt (4)"), and
// after the last character of prose.
std::string_view Region(const ExpressionTail& tail) {
  const std::string_view text = tail.narrowed.substr(0, tail.narrowed.size() - 1);  // no "="
  const auto stops = [&](std::size_t p) { return text[p] == '=' || IsProseChar(text[p]); };
  std::size_t begin = std::min(tail.front, text.size());
  for (;;) {
    std::size_t end = begin;
    while (end > 0 && IsBlank(text[end - 1])) --end;
    if (end == 0 || stops(end - 1)) break;
    std::size_t word = end;
    while (word > 0 && !IsBlank(text[word - 1]) && !stops(word - 1)) --word;
    const char first = begin < text.size() ? text[begin] : '\0';
    const bool binds = end == begin || text[end - 1] == '^' || first == '^' ||
                       (first == '(' && IsCallName(text.substr(word, end - word)));
    if (!binds) break;
    begin = word;
  }
  for (std::size_t i = text.size(); i > begin; --i) {
    if (stops(i - 1)) return text.substr(i);
  }
  return text.substr(begin);
}

bool IsOperandChar(char c) { return IsLetter(c) || IsDigit(c) || c == '.'; }

// The run of letters, digits and points that ends at p, past blanks: a power's base.
std::string_view OperandBefore(std::string_view text, std::size_t p) {
  while (p > 0 && IsBlank(text[p - 1])) --p;
  std::size_t begin = p;
  while (begin > 0 && IsOperandChar(text[begin - 1])) --begin;
  return text.substr(begin, p - begin);
}

// The signed run of letters, digits and points that starts at p, past blanks: an exponent.
std::string_view OperandAfter(std::string_view text, std::size_t p) {
  while (p < text.size() && IsBlank(text[p])) ++p;
  std::size_t end = p < text.size() && (text[p] == '-' || text[p] == '+') ? p + 1 : p;
  const std::size_t digits = end;
  while (end < text.size() && IsOperandChar(text[end])) ++end;
  return end == digits ? std::string_view() : text.substr(p, end - p);
}

// "^", "**" and "%", which no worksheet expression has.
std::optional<FoundReason> MissingOperator(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool power = text[i] == '^';
    const bool double_star = text.substr(i, 2) == "**";
    if (text[i] == '%') {
      return Found(ReasonKind::NoSuchOperator,
                   "% is not an operator here: for a percentage divide by 100, as in x/100");
    }
    if (!power && !double_star) continue;
    const std::string_view sign = power ? "^" : "**";
    const std::string_view base = OperandBefore(text, i);
    const std::string_view exponent = OperandAfter(text, i + sign.size());
    const std::string pow = base.empty() || exponent.empty()
                                ? std::string("pow(x,y)")
                                : "pow(" + std::string(base) + "," + std::string(exponent) + ")";
    return Found(ReasonKind::NoSuchOperator,
                 std::string(sign) + " is not an operator here: write a power as " + pow);
  }
  return std::nullopt;
}

// Reads a region from left to right and stops at the first thing the worksheet cannot
// work out.
class RegionScan {
 public:
  RegionScan(std::string_view text, const UnansweredExpression& expression)
      : text_(text), expression_(expression) {}

  std::optional<FoundReason> Run() {
    if (std::optional<FoundReason> reason = MissingOperator(text_)) return reason;
    while (position_ < text_.size() && !reason_ && !statement_) Step();
    if (reason_ || statement_) return reason_;
    if (!open_.empty()) {
      return Found(ReasonKind::UnbalancedParentheses, "a ( is not closed: add its ) before the =");
    }
    return std::nullopt;
  }

  // The region calls a statement: the statement driver says what is wrong with it.
  bool statement() const { return statement_; }

 private:
  char At(std::size_t p) const { return p < text_.size() ? text_[p] : '\0'; }

  std::size_t NextNonBlank(std::size_t p) const {
    while (p < text_.size() && IsBlank(text_[p])) ++p;
    return p;
  }

  void Step() {
    const char c = text_[position_];
    if (IsBlank(c)) {
      ++position_;
      return;
    }
    if (IsDigit(c) || c == '.') {
      Number();
    } else if (IsLetter(c)) {
      Name();
    } else if (c == '(') {
      Open(false);
    } else if (c == ')') {
      Close();
    } else if (IsOperator(c)) {
      Operators();
    } else if (c == ',' && (open_.empty() || !open_.back())) {
      reason_ = Found(ReasonKind::Unreduced,
                      "a comma stands outside the ( ) of a function: write a decimal point as .");
    } else {
      ++position_;
    }
    operand_before_ = c == ')' || IsDigit(c) || c == '.' || IsLetter(c);
  }

  // digits [. digits] [e sign digits]; an exponent must carry its sign and digits.
  void Number() {
    const std::size_t begin = position_;
    while (IsDigit(At(position_)) || At(position_) == '.') ++position_;
    if (At(position_) == 'e') {
      const bool signed_exponent = (At(position_ + 1) == '+' || At(position_ + 1) == '-');
      std::size_t end = position_ + 1 + (signed_exponent ? 1 : 0);
      const bool digits = IsDigit(At(end));
      while (IsLetter(At(end)) || IsDigit(At(end))) ++end;
      const std::string written(text_.substr(begin, end - begin));
      if (!signed_exponent || !digits) {
        reason_ = Found(ReasonKind::UnreadableNumber,
                        written +
                            " cannot be read as a number: write an exponent with its sign "
                            "and digits, as in 2e+3");
        return;
      }
      position_ = end;
    }
    NothingBetween(text_.substr(begin, position_ - begin));
  }

  // A number or a ")" directly before "(" or a name: nothing multiplies them.
  void NothingBetween(std::string_view left) {
    const char next = At(position_);
    if (next != '(' && !IsLetter(next)) return;
    reason_ =
        Found(ReasonKind::NoSuchOperator,
              "nothing stands between " + std::string(left) + " and " + std::string(1, next) +
                  ": write * to multiply, as in " + std::string(left) + "*" + std::string(1, next));
  }

  void Name() {
    const std::size_t begin = position_;
    while (IsLetter(At(position_))) ++position_;
    const std::string_view letters = text_.substr(begin, position_ - begin);
    while (IsDigit(At(position_))) ++position_;
    const std::string name(text_.substr(begin, position_ - begin));
    const bool has_digits = name.size() > letters.size();
    const std::size_t paren = NextNonBlank(position_);
    if (At(paren) == '(') {
      Call(name, has_digits, paren);
    } else if (has_digits) {
      reason_ = Found(ReasonKind::UnreadableName,
                      name + " cannot name a variable: names are letters only, as in " +
                          std::string(letters) + "=2");
    } else {
      const std::string nearest = expression_.nearest_variable(name);
      reason_ = Found(
          ReasonKind::Undefined,
          name + " is not defined above this line" +
              (nearest.empty() ? ": assign it first, as in " + name + "=2" : DidYouMean(nearest)),
          name);
    }
  }

  void Call(const std::string& name, bool has_digits, std::size_t paren) {
    const Statement* statement = has_digits ? nullptr : FindStatementNamed(Statements(), name);
    if (statement != nullptr) {
      // A statement with more of the expression after it is an operand; one that ends the
      // region is the statement driver's to explain.
      const std::size_t close = text_.find(')', paren);
      if (close != std::string_view::npos && NextNonBlank(close + 1) < text_.size()) {
        reason_ = ExplainStatementOperand(*statement, ReasonSource::Expression);
      } else {
        statement_ = true;
      }
      return;
    }
    if (!has_digits && FindFunction(name + "(") != nullptr) {
      if (paren > position_) {
        reason_ = Found(ReasonKind::StrayBlank, "write " + name + "( without a blank before the (");
        return;
      }
      position_ = paren;
      Open(true);
      return;
    }
    NearestName nearest(name);
    for (const Function& function : Functions()) {
      nearest.Consider(function.token.substr(0, function.token.size() - 1));
    }
    for (const Statement& statement : Statements()) nearest.Consider(statement.name);
    reason_ =
        Found(ReasonKind::UnknownName,
              "unknown name " + name +
                  (nearest.best().empty() ? ": the list of functions shows the names there are"
                                          : DidYouMean(nearest.best())));
  }

  void Open(bool call) {
    ++position_;
    open_.push_back(call);
    if (At(NextNonBlank(position_)) == ')') {
      reason_ =
          Found(ReasonKind::Unreduced, "() holds nothing: write a number or expression in it");
    }
  }

  void Close() {
    ++position_;
    if (open_.empty()) {
      reason_ = Found(ReasonKind::UnbalancedParentheses,
                      "a ) has no ( before it: remove it or add the (");
      return;
    }
    open_.pop_back();
    NothingBetween(")");
  }

  // One operator, or one followed by a sign ("2*-3", "2--3"); anything more is a mistake.
  void Operators() {
    const std::size_t begin = position_;
    while (IsOperator(At(position_))) ++position_;
    const std::string run(text_.substr(begin, position_ - begin));
    const bool valid = run.size() == 1 || (run.size() == 2 && (run[1] == '+' || run[1] == '-'));
    if (!valid) {
      reason_ = Found(ReasonKind::Unreduced, run + ": too many operators in a row; keep one");
    } else if (NextNonBlank(position_) == text_.size()) {
      reason_ = Found(ReasonKind::Unreduced,
                      "the expression ends in " + run + ": write the number that follows it");
    } else if (!operand_before_ && (run[0] == '*' || run[0] == '/')) {
      reason_ = Found(ReasonKind::Unreduced,
                      run + " has no number in front of it: write the number that comes first");
    }
  }

  std::string_view text_;
  const UnansweredExpression& expression_;
  std::size_t position_ = 0;
  std::vector<bool> open_;       // the open parentheses; true for those of a call
  bool operand_before_ = false;  // the last thing read ends an operand
  bool statement_ = false;
  std::optional<FoundReason> reason_;
};

// What the reducer met, in words.
std::optional<FoundReason> FromTrouble(const ReductionTrouble& trouble) {
  using Kind = ReductionTrouble::Kind;
  const std::string& operation = trouble.operation;
  switch (trouble.kind) {
    case Kind::NegativeArgument:
      return Found(ReasonKind::NotANumber,
                   operation + " is not a number: " +
                       (operation.starts_with("sqrt") ? "a square root needs a number of 0 or more"
                                                      : "a logarithm needs a number above 0"));
    case Kind::NotFinite: {
      const std::size_t slash = operation.find('/');
      if (slash != std::string::npos && operation.find('(') == std::string::npos &&
          ParseReal(std::string_view(operation).substr(slash + 1)) == 0) {
        return Found(ReasonKind::NotANumber, operation + " divides by zero");
      }
      if (operation.starts_with("log")) {
        return Found(ReasonKind::NotANumber,
                     operation + " is minus infinity: a logarithm needs a number above 0");
      }
      if (std::isnan(trouble.result) &&
          (operation.starts_with("n(") || operation.starts_with("nPr(") ||
           operation.starts_with("nCr(") || operation.starts_with("nHr("))) {
        return Found(ReasonKind::NotANumber,
                     operation + " is not a number: factorials and counts take whole numbers of "
                                 "0 or more");
      }
      if (std::isnan(trouble.result) && operation.starts_with("probt(")) {
        return Found(ReasonKind::NotANumber,
                     operation + " is not a number: probt needs 1 or more degrees of freedom");
      }
      if (operation.starts_with("asin") || operation.starts_with("acos")) {
        return Found(ReasonKind::NotANumber,
                     operation + " is not a number: asin and acos take numbers from -1 to 1");
      }
      return Found(ReasonKind::NotANumber,
                   operation + (std::isnan(trouble.result) ? " is not a number"
                                                           : " is too large to be a number"));
    }
    case Kind::StepBound:
      return Found(ReasonKind::BoundReached,
                   "the expression needs more than 200 steps: split it, for example by "
                   "assigning a part to a variable on the line above");
    case Kind::OperandNotANumber:
      if (operation.starts_with(",")) {
        return Found(ReasonKind::Unreduced,
                     "a sign right after a comma cannot be read: put the number in "
                     "parentheses, as in pow(2,(-1))");
      }
      return Found(ReasonKind::Unreduced,
                   operation + " cannot be worked out: an operator needs a number on each side");
    case Kind::None: break;
  }
  return std::nullopt;
}

// A lone word in front of an "=" asks for a variable's value when the "=" ends the line or
// a number follows ("A=", "x = 5"); with other text after it, it is a word of prose ("a
// lone = or {", or the "To=" of a report's heading).
bool IsProseWord(std::string_view region, std::string_view after) {
  const std::size_t begin = region.find_first_not_of(" \t");
  const std::string_view word = region.substr(begin, region.find_last_not_of(" \t") + 1 - begin);
  if (!std::all_of(word.begin(), word.end(), IsLetter)) return false;
  const std::size_t next = after.find_first_not_of(" \t");
  if (next == std::string_view::npos) return false;
  const char c = after[next];
  return !(c == '\r' || c == '\n' || IsDigit(c) || c == '.' || c == '+' || c == '-');
}

}  // namespace

std::optional<FoundReason> ExplainExpression(const UnansweredExpression& expression) {
  // An "=" with more text right after it stands inside a formula of prose or of a report
  // ("Y=(2.5)X+(1)"), not at the end of a question.
  const std::string_view after = expression.after;
  if (!after.empty() && !IsBlank(after[0]) && after[0] != '\r' && after[0] != '\n') {
    return std::nullopt;
  }

  const std::string_view region = Region(expression.tail);

  const std::size_t last = region.find_last_not_of(" \t");
  if (last == std::string_view::npos) return std::nullopt;

  // "a = {1,2}": a data set written with blanks around its "=".
  const std::size_t brace = after.find_first_not_of(" \t");
  if (brace != std::string_view::npos && brace > 0 && after[brace] == '{') {
    std::size_t begin = last + 1;
    while (begin > 0 && IsLetter(region[begin - 1])) --begin;
    const std::string name(region.substr(begin, last + 1 - begin));
    if (!name.empty()) {
      return Found(ReasonKind::StrayBlank,
                   name + " = { defines no data set: write " + name + "={ without blanks");
    }
  }

  if (IsProseWord(region, after)) return std::nullopt;
  RegionScan scan(region, expression);
  if (std::optional<FoundReason> reason = scan.Run()) return reason;
  if (scan.statement()) return std::nullopt;
  if (std::optional<FoundReason> reason = FromTrouble(expression.trouble)) return reason;
  return Found(ReasonKind::Unreduced,
               std::string(region.substr(region.find_first_not_of(" \t"))) +
                   " cannot be worked out: check its operators and parentheses");
}

FoundReason ExplainGluedOperands(std::string_view left, std::string_view right) {
  if (IsLetter(right[0])) {  // digits, then a variable
    const std::size_t digits = left.find_last_not_of("0123456789.") + 1;  // npos + 1 is 0
    const std::string number(left.substr(digits));
    const std::string name(right);
    return Found(ReasonKind::NoSuchOperator, "nothing stands between " + number + " and " +
                                                 name + ": write * to multiply, as in " + number +
                                                 "*" + name);
  }
  const std::string name(left);
  const std::string number(right.substr(0, right.find_first_not_of("0123456789.")));
  return Found(ReasonKind::UnreadableName,
               name + number + " cannot name a variable: names are letters only; to multiply, "
                               "write " + name + "*" + number);
}

}  // namespace tallo
