#include "engine/evaluator.h"

#include <array>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "engine/functions.h"
#include "text/char_classes.h"
#include "text/number_text.h"

namespace tallo {
namespace {

using Tokens = std::vector<std::string>;

constexpr int kMaxSteps = 200;

bool IsSkipped(char c) {
  const auto code = static_cast<unsigned char>(c);
  return c == ' ' || c == '\t' || (code >= 123 && code <= 127);
}

bool IsSignToken(std::string_view token) { return token == "+" || token == "-"; }

// Cuts an expression into tokens. Blanks and codes 123..127 vanish without separating
// ("1 2" is 12); CR and LF separate but are not kept. A token is a run of one class, except
// that "(" and ")" always end their token, and a sign right after "(" joins the digits
// after it. The text reads as if it followed a "(", so a leading sign joins its number.
Tokens Tokenize(std::string_view text) {
  Tokens tokens;
  std::string current;
  ExpressionChar running = ExpressionChar::Other;
  char previous = '(';  // the last character not skipped
  for (char c : text) {
    if (IsSkipped(c)) continue;
    const ExpressionChar cls = ClassifyExpressionChar(c);
    const bool after_paren = previous == '(' || previous == ')';
    if (!current.empty() && (after_paren || cls != running)) {
      tokens.push_back(std::move(current));
      current.clear();
    }
    if (c != '\r' && c != '\n') current += c;
    running = (cls == ExpressionChar::Sign && previous == '(') ? ExpressionChar::Digit : cls;
    previous = c;
  }
  if (!current.empty()) tokens.push_back(std::move(current));
  return tokens;
}

void FoldSignPairs(Tokens& tokens) {
  for (std::string& token : tokens) {
    if (token == "++" || token == "--") {
      token = "+";
    } else if (token == "+-" || token == "-+") {
      token = "-";
    }
  }
}

// "1.5" "e" "+" "10" becomes "1.5e+10".
void JoinExponents(Tokens& tokens) {
  for (std::size_t p = 1; p + 2 < tokens.size(); ++p) {
    if (tokens[p] == "e" && IsNumberText(tokens[p - 1]) && IsSignToken(tokens[p + 1]) &&
        IsNumberText(tokens[p + 2])) {
      tokens[p - 1] += tokens[p] + tokens[p + 1] + tokens[p + 2];
      tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(p),
                   tokens.begin() + static_cast<std::ptrdiff_t>(p + 3));
    }
  }
}

// "(" x ")" becomes x.
void RemoveRedundantParentheses(Tokens& tokens) {
  for (std::size_t p = 1; p + 1 < tokens.size(); ++p) {
    if (tokens[p - 1] == "(" && tokens[p + 1] == ")") {
      tokens[p - 1] = std::move(tokens[p]);
      tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(p),
                   tokens.begin() + static_cast<std::ptrdiff_t>(p + 2));
    }
  }
}

// The first innermost parenthesis group: [begin, end) are the positions an operator
// search covers; end is the token just before the group's ")".
struct Group {
  std::size_t begin = 0;
  std::size_t end = 0;
};

Group FindWorkingGroup(const Tokens& tokens) {
  Group group;
  int depth = 0;
  int deepest = 0;
  for (std::size_t p = 0; p < tokens.size(); ++p) {
    if (!tokens[p].empty() && tokens[p].back() == '(') {
      if (++depth > deepest) {
        deepest = depth;
        group.begin = p;
      }
    } else if (tokens[p] == ")") {
      --depth;
    }
  }
  group.end = tokens.empty() ? 0 : tokens.size() - 1;
  for (std::size_t p = group.begin + 1; p < tokens.size(); ++p) {
    if (tokens[p] == ")") {
      group.end = p - 1;
      break;
    }
  }
  return group;
}

using Trouble = ReductionTrouble::Kind;

// Notes the first trouble of a reduction; what goes wrong after it follows from it.
void Note(ReductionTrouble* trouble, Trouble kind, std::initializer_list<std::string_view> tokens,
          double result = 0) {
  if (trouble == nullptr || trouble->kind != Trouble::None) return;
  trouble->kind = kind;
  for (std::string_view token : tokens) trouble->operation += token;
  trouble->result = result;
}

// Replaces the operator at pos and its right neighbour by nothing and its left neighbour
// by the result. False when a neighbour is missing or not a plain number.
bool ApplyBinaryOperator(Tokens& tokens, std::size_t pos, ReductionTrouble* trouble) {
  const std::string_view missing;
  if (pos == 0 || pos + 1 >= tokens.size()) {
    Note(trouble, Trouble::OperandNotANumber,
         {pos == 0 ? missing : tokens[pos - 1], tokens[pos],
          pos + 1 < tokens.size() ? tokens[pos + 1] : missing});
    return false;
  }
  std::string& left = tokens[pos - 1];
  std::string& right = tokens[pos + 1];
  if (!IsNumberText(left) || !IsNumberText(right)) {
    Note(trouble, Trouble::OperandNotANumber, {left, tokens[pos], right});
    return false;
  }
  const double a = ParseReal(left);
  const double b = ParseReal(right);
  double result = 0;
  switch (tokens[pos][0]) {
    case '*': result = a * b; break;
    case '/': result = a / b; break;
    case '+': result = a + b; break;
    default: result = a - b; break;
  }
  if (trouble != nullptr && !std::isfinite(result)) {
    Note(trouble, Trouble::NotFinite, {left, tokens[pos], right}, result);
  }
  left = NumberText(result);
  tokens[pos].clear();
  right.clear();
  return true;
}

enum class StepResult { NothingDone, Done, Failed };

StepResult MultiplyOrDivide(Tokens& tokens, const Group& group, ReductionTrouble* trouble) {
  for (std::size_t p = group.begin; p < group.end && p < tokens.size(); ++p) {
    if (tokens[p] != "*" && tokens[p] != "/") continue;
    if (p + 2 < tokens.size() && IsSignToken(tokens[p + 1]) &&
        StartsWithDigitOrPoint(tokens[p + 2])) {
      tokens[p + 2].insert(0, tokens[p + 1]);  // 2*-3
      tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(p + 1));
    }
    return ApplyBinaryOperator(tokens, p, trouble) ? StepResult::Done : StepResult::Failed;
  }
  return StepResult::NothingDone;
}

StepResult AddOrSubtract(Tokens& tokens, const Group& group, ReductionTrouble* trouble) {
  StepResult result = StepResult::NothingDone;
  for (std::size_t p = group.begin; p < group.end && p < tokens.size(); ++p) {
    if (!IsSignToken(tokens[p])) continue;
    if (p == 0) {
      if (p + 1 < tokens.size() && StartsWithDigitOrPoint(tokens[1])) {  // a unary sign
        tokens[1].insert(0, tokens[0]);
        tokens[0].clear();
        result = StepResult::Done;
      }
      continue;
    }
    return ApplyBinaryOperator(tokens, p, trouble) ? StepResult::Done : StepResult::Failed;
  }
  return result;
}


// The first function call whose arguments are single tokens: "f(" x ")" or "f(" x "," y ")".
StepResult ApplyFunction(Tokens& tokens, ReductionTrouble* trouble) {
  for (std::size_t p = 0; p < tokens.size(); ++p) {
    const Function* function = FindFunction(tokens[p]);
    if (function == nullptr) continue;
    const std::size_t close = p + (function->arguments == 1 ? 2 : 4);
    if (close >= tokens.size() || tokens[close] != ")") continue;
    if (function->arguments == 2 && tokens[p + 2] != ",") continue;
    const std::string_view x = tokens[p + 1];
    const std::string_view y = function->arguments == 2 ? tokens[p + 3] : std::string_view();
    const std::string_view comma = function->arguments == 2 ? "," : "";
    if (!IsNumberText(x) || (function->arguments == 2 && !IsNumberText(y))) {
      Note(trouble, Trouble::OperandNotANumber, {tokens[p], x, comma, y, ")"});
      return StepResult::Failed;
    }
    if (function->rejects_negative && ParseReal(x) < 0) {
      Note(trouble, Trouble::NegativeArgument, {tokens[p], x, ")"});
      return StepResult::Failed;
    }
    const double result = function->apply({ParseReal(x), x}, {ParseReal(y), y});
    if (trouble != nullptr && !std::isfinite(result)) {
      Note(trouble, Trouble::NotFinite, {tokens[p], x, comma, y, ")"}, result);
    }
    tokens[p] = NumberText(result);
    for (std::size_t k = p + 1; k <= close; ++k) tokens[k].clear();
    return StepResult::Done;
  }
  return StepResult::NothingDone;
}

}  // namespace

bool IsNumberText(std::string_view token) {
  if (token.empty()) return false;
  bool seen_e = false;
  for (std::size_t i = 0; i < token.size(); ++i) {
    const char c = token[i];
    if (IsDigit(c) || c == '+' || c == '-' || c == '.') continue;
    if (c != 'e' || seen_e || i == 0) return false;
    const bool sign_then_digit = i + 2 < token.size() &&
                                 (token[i + 1] == '+' || token[i + 1] == '-') &&
                                 IsDigit(token[i + 2]);
    if (!sign_then_digit) return false;
    seen_e = true;
  }
  return true;
}

std::string EvaluateExpression(std::string_view expression, ReductionTrouble* trouble) {
  if (expression.empty()) return std::string(kEvaluationFailed);
  Tokens tokens = Tokenize(expression);
  FoldSignPairs(tokens);
  JoinExponents(tokens);
  RemoveRedundantParentheses(tokens);
  if (!tokens.empty() && tokens.back() == "=") tokens.pop_back();

  const Group group = FindWorkingGroup(tokens);
  StepResult result = MultiplyOrDivide(tokens, group, trouble);
  if (result == StepResult::NothingDone) result = AddOrSubtract(tokens, group, trouble);
  if (result == StepResult::NothingDone) result = ApplyFunction(tokens, trouble);
  if (result == StepResult::Failed) return std::string(kEvaluationFailed);

  std::string joined;
  for (const std::string& token : tokens) joined += token;
  return joined;
}

std::string EvaluateUntilStable(std::string_view expression, ReductionTrouble* trouble) {
  std::string text(expression);
  for (int step = 0; step < kMaxSteps; ++step) {
    std::string next = EvaluateExpression(text, trouble);
    if (next == kEvaluationFailed || next == text) return next;
    text = std::move(next);
  }
  Note(trouble, Trouble::StepBound, {});
  return text;
}

}  // namespace tallo
