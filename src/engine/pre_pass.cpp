#include "engine/pre_pass.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_map>

#include "engine/direct_evaluator.h"
#include "engine/evaluator.h"
#include "text/char_classes.h"

namespace tallo {
namespace {

// A line is cut into at most this many tokens; the rest of a longer line belongs to the
// last one.
constexpr std::size_t kMaxLineTokens = 9995;

using LineTokens = std::vector<std::string_view>;

LineTokens CutLine(std::string_view line) {
  LineTokens tokens;
  std::size_t begin = 0;
  for (std::size_t i = 1; i <= line.size(); ++i) {
    if (i < line.size() && ClassifyWorksheetChar(line[i]) == ClassifyWorksheetChar(line[i - 1])) {
      continue;
    }
    if (tokens.size() + 1 == kMaxLineTokens) i = line.size();
    tokens.push_back(line.substr(begin, i - begin));
    begin = i;
  }
  return tokens;
}

struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
};

// Scalar variables: name to value text, valid from their assignment to the end of the text.
// The value is kept as it is substituted, with a blank on either side (" 5.5 ").
using VariableTable = std::unordered_map<std::string, std::string, NameHash, std::equal_to<>>;

bool IsArithmeticOperator(std::string_view token) {
  return token == "+" || token == "-" || token == "*" || token == "/";
}

bool IsSignOnly(std::string_view token) { return token == "+" || token == "-"; }

bool EndsWithDigit(std::string_view token) { return !token.empty() && IsDigit(token.back()); }

bool IsBlankOrEquals(std::string_view token) {
  return token.find_first_not_of(" \t=") == std::string_view::npos;
}

WorksheetChar FirstClass(std::string_view token) {
  return token.empty() ? WorksheetChar::Other : ClassifyWorksheetChar(token[0]);
}

// The tokens of one expression, [start, end] of the line, with variables substituted.
class Substitution {
 public:
  Substitution(const LineTokens& line, std::size_t start, std::size_t end)
      : line_(line), start_(start), work_(line.begin() + static_cast<std::ptrdiff_t>(start),
                                          line.begin() + static_cast<std::ptrdiff_t>(end) + 1) {}
  // The substituted values are views of the variable table, which must not change while
  // the substitution is used.

  // Replaces every token that names a variable by " value ", except the letters of a
  // number's exponent: "e" in "1.5e+3", or a name after "1.5e+".
  void Substitute(const VariableTable& variables) {
    for (std::size_t k = start_; k < start_ + work_.size(); ++k) {
      if (!IsNameChar(Token(k)[0])) continue;  // a name starts with a letter
      const auto found = variables.find(Token(k));
      if (found == variables.end() || IsExponentLetter(k) || FollowsExponentSign(k)) continue;
      work_[k - start_] = found->second;
    }
  }

  std::string Joined() const {
    std::size_t size = 0;
    for (std::string_view token : work_) size += token.size();
    std::string text;
    text.reserve(size);
    for (std::string_view token : work_) text += token;
    return text;
  }

 private:
  bool Exists(std::size_t k, std::size_t back) const { return k >= back && k - back < line_.size(); }

  // The current text of token k: substituted within the expression, as typed before it.
  std::string_view Token(std::size_t k) const {
    if (k >= start_ && k < start_ + work_.size()) return work_[k - start_];
    return line_[k];
  }

  bool IsExponentLetter(std::size_t k) const {
    if (Token(k) != "e" || !Exists(k, 1) || k + 1 >= line_.size()) return false;
    const std::string_view after = Token(k + 1);
    return EndsWithDigit(Token(k - 1)) && !after.empty() && (after[0] == '+' || after[0] == '-') &&
           !IsSignOnly(after);
  }

  bool FollowsExponentSign(std::size_t k) const {
    if (!Exists(k, 3) || !IsSignOnly(Token(k - 1)) || Token(k - 2) != "e") return false;
    const std::string_view mantissa = Token(k - 3);
    return EndsWithDigit(mantissa) ||
           (!mantissa.empty() && mantissa.back() == ' ' && Exists(k, 4) &&
            EndsWithDigit(Token(k - 4)));
  }

  const LineTokens& line_;
  std::size_t start_;
  std::vector<std::string_view> work_;
};

// One number as written: a sign, digits and points, an exponent. An evaluation that
// stopped with operators left ("5-+-3", or a long sum cut off by the step bound) is made
// of the same characters but is no answer.
bool IsSingleNumber(std::string_view text) {
  std::size_t i = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
  const std::size_t mantissa = i;
  while (i < text.size() && (IsDigit(text[i]) || text[i] == '.')) ++i;
  if (i == mantissa) return false;
  if (i == text.size()) return true;
  if (text[i] != 'e' || i + 2 >= text.size() || (text[i + 1] != '+' && text[i + 1] != '-')) {
    return false;
  }
  for (i += 2; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
  }
  return true;
}

// The answer to the expression of line tokens [start, equals]; empty when it has none.
// Most expressions are plain arithmetic, which the direct evaluator answers exactly as the
// reducer would, without rewriting the text step by step.
std::string AnswerExpression(const LineTokens& tokens, std::size_t start, std::size_t equals,
                             const VariableTable& variables) {
  Substitution substitution(tokens, start, equals);
  substitution.Substitute(variables);
  const std::string expression = CheckExponentMarkers(ExtractExpression(substitution.Joined()));
  // Without a digit or a point no step can produce a number: a statement such as
  // "mean(a)=" is left for the statement driver at once.
  if (expression.find_first_of("0123456789.") == std::string::npos) return {};
  if (std::optional<std::string> answer = EvaluateDirectly(expression)) return *answer;
  return ReducerAnswer(expression);
}

// Walks one line: records its assignments and answers its expressions.
void RunLine(std::string_view line, std::size_t line_offset, VariableTable& variables,
             std::vector<Insertion>& answers) {
  const LineTokens tokens = CutLine(line);
  std::size_t start = 0;        // first token of the next expression
  std::size_t token_offset = 0; // offset of token m within the line
  bool blank_so_far = true;     // the line so far holds only blanks, TABs and "="
  for (std::size_t m = 0; m < tokens.size(); token_offset += tokens[m].size(), ++m) {
    blank_so_far = blank_so_far && IsBlankOrEquals(tokens[m]);
    if (tokens[m] != "=" || blank_so_far) continue;

    const std::string_view name = tokens[m - 1];
    const std::string_view value = m + 1 < tokens.size() ? tokens[m + 1] : std::string_view();
    std::string_view before;
    if (m >= 2 && tokens[m - 2][0] != ' ') {
      before = tokens[m - 2];
    } else if (m > 2) {
      before = tokens[m - 3];
    }

    if (!value.empty() && FirstClass(name) == WorksheetChar::Letter &&
        FirstClass(value) == WorksheetChar::Number) {
      // An assignment; after an operator it is an expression already answered (a*x=5).
      if (!IsArithmeticOperator(before)) {
        variables.insert_or_assign(std::string(name), " " + std::string(value) + " ");
      }
    } else if (FirstClass(value) != WorksheetChar::Number &&
               FirstClass(value) != WorksheetChar::Letter && (value.empty() || value[0] != '{')) {
      std::string answer = AnswerExpression(tokens, start, m, variables);
      if (!answer.empty()) answers.push_back({line_offset + token_offset + 1, std::move(answer)});
    }
    start = m;
  }
}

// The text without its characters of 128 and above, which the expression scanners drop
// whole without ending a token; the text itself when it has none.
std::string_view Narrow(std::string_view text, std::string& storage) {
  const auto wide = [](char c) { return static_cast<unsigned char>(c) >= 128; };
  if (std::none_of(text.begin(), text.end(), wide)) return text;
  storage.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (wide(text[i])) {
      i += Utf8CharLength(text, i) - 1;
    } else {
      storage += text[i];
    }
  }
  return storage;
}

// Evaluator tokens for ExtractExpression: runs of one evaluator class; blanks end a token
// and vanish.
std::vector<std::string_view> CutExpression(std::string_view text) {
  std::vector<std::string_view> tokens;
  std::size_t begin = 0;
  ExpressionChar running = ExpressionChar::Other;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool blank = c == ' ' || c == '\t';
    const ExpressionChar cls = ClassifyExpressionChar(c);
    if (i > begin && (cls != running || blank)) tokens.push_back(text.substr(begin, i - begin));
    if (blank || (i > begin && cls != running)) begin = blank ? i + 1 : i;
    running = cls;
  }
  if (text.size() > begin) tokens.push_back(text.substr(begin));
  return tokens;
}

bool IsOperand(TokenEnd c) { return c == TokenEnd::Number || c == TokenEnd::Letter; }
bool IsOperandOrOpen(TokenEnd c) { return IsOperand(c) || c == TokenEnd::Open; }

// How far a pair of adjacent tokens (ending in classes a, b) moves the expression's start:
// past the first token (1) where the second begins a new expression, past both (2) where
// they form nothing that can be evaluated, or not at all (0).
int StartShift(TokenEnd a, TokenEnd b) {
  using enum TokenEnd;
  if (a == Equals) return 1;
  if (IsOperand(a) && IsOperandOrOpen(b)) return 1;  // two operands side by side
  if (a == Letter && b == LoneE) return 1;
  if (a == Open && b == MulDiv) return 1;
  if (a == Close && (IsOperandOrOpen(b) || b == LoneE)) return 1;
  if (a == LoneE && (IsOperandOrOpen(b) || b == LoneE)) return 1;
  if (a == Open && b == Close) return 2;  // an empty "()"
  if ((a == Sign || a == MulDiv) && (b == Close || b == MulDiv)) return 2;
  return 0;
}

bool EndsWithAnyOf(std::string_view token, std::string_view endings) {
  return !token.empty() && endings.find(token.back()) != std::string_view::npos;
}

// Keeps the characters at parenthesis depth 0 or more: an unmatched ")" discards what
// came before, and nothing is kept until enough "(" have restored the depth. What is left
// is the text after the last character at a negative depth.
void DropUnmatchedClosing(std::string& text) {
  int depth = 0;
  std::size_t kept_from = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')') --depth;
    if (depth < 0) kept_from = i + 1;
  }
  text.erase(0, kept_from);
}

// Whether a token consists of the characters of set only (and is not empty).
bool ConsistsOf(std::string_view token, std::string_view set) {
  return !token.empty() && token.find_first_not_of(set) == std::string_view::npos;
}

// The class CheckExponentMarkers gives a character that starts or continues a token.
ExpressionChar ExponentClass(char c) {
  if (IsDigit(c) || c == '.') return ExpressionChar::Digit;
  if (IsNameChar(c)) return ExpressionChar::Letter;
  if (c == '+' || c == '-') return ExpressionChar::Sign;
  return ExpressionChar::Other;
}

}  // namespace

std::vector<Insertion> RunPrePass(std::string_view text) {
  std::vector<Insertion> answers;
  VariableTable variables;
  // Only lines with an "=" can assign or answer anything, so the walk jumps from one such
  // line to the next.
  for (std::size_t equals = text.find('='); equals != std::string_view::npos;) {
    const std::size_t previous_newline = text.rfind('\n', equals);
    const std::size_t begin = previous_newline == std::string_view::npos ? 0 : previous_newline + 1;
    const std::size_t newline = text.find('\n', equals);
    const std::size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
    RunLine(text.substr(begin, end - begin), begin, variables, answers);
    equals = text.find('=', end);
  }
  return answers;
}

std::string ExtractExpression(std::string_view text) {
  std::string narrow;
  const std::vector<std::string_view> tokens = CutExpression(Narrow(text, narrow));
  if (tokens.empty()) return "=";
  const std::size_t equals = tokens.size() - 1;

  std::size_t start = EndsWithAnyOf(tokens[0], "*/") ? 1 : 0;
  if (equals == 0 || EndsWithAnyOf(tokens[equals - 1], "(+-*/,e")) start = equals;
  for (std::size_t j = start; j < equals; ++j) {
    const int shift = StartShift(ClassifyTokenEnd(tokens[j]), ClassifyTokenEnd(tokens[j + 1]));
    if (shift > 0) start = j + static_cast<std::size_t>(shift);
  }
  // A number's exponent cut off from it ("2e3=" would otherwise answer 3).
  if (start >= 2 && start < equals && tokens[start - 1] == "e" &&
      ClassifyTokenEnd(tokens[start - 2]) == TokenEnd::Number) {
    start = equals;
  }

  std::size_t size = 0;
  for (std::size_t k = start; k <= equals; ++k) size += tokens[k].size();
  std::string joined;
  joined.reserve(size);
  for (std::size_t k = start; k <= equals; ++k) joined += tokens[k];
  DropUnmatchedClosing(joined);
  return joined;
}

std::string CheckExponentMarkers(std::string text) {
  if (text.find('e') == std::string::npos) return text;
  // A token ends where the class of the next character differs from the evaluator class
  // of the one before it, so "(" followed by letters stays one token.
  std::string narrow;
  const std::string_view narrowed = Narrow(text, narrow);
  std::vector<std::string_view> tokens;
  std::size_t begin = 0;
  for (std::size_t i = 1; i <= narrowed.size(); ++i) {
    if (i == narrowed.size() ||
        ExponentClass(narrowed[i]) != ClassifyExpressionChar(narrowed[i - 1])) {
      tokens.push_back(narrowed.substr(begin, i - begin));
      begin = i;
    }
  }

  // Only digits "e" sign digits, with two tokens still to follow, is an exponent.
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    if (!ConsistsOf(tokens[k], "e")) continue;
    const bool exponent = k > 0 && k + 2 < tokens.size() &&
                          ConsistsOf(tokens[k - 1], "0123456789.") && IsSignOnly(tokens[k + 1]) &&
                          ConsistsOf(tokens[k + 2], "0123456789");
    if (!exponent) return std::string();
  }
  return text;
}

std::string ReducerAnswer(std::string_view expression) {
  std::string answer = KeepTrailingNumber(EvaluateUntilStable(expression));
  return IsSingleNumber(answer) ? answer : std::string();
}

std::string KeepTrailingNumber(std::string_view text) {
  std::string number;
  for (char c : text) {
    if (IsDigit(c) || c == '+' || c == '-' || c == '.' || c == 'e') {
      number += c;
    } else {
      number.clear();
    }
  }
  return number == "e" ? std::string() : number;
}

}  // namespace tallo
