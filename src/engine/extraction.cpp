#include "engine/extraction.h"

#include <algorithm>
#include <vector>

#include "engine/functions.h"
#include "procedures/registry.h"
#include "text/char_classes.h"

namespace tallo {
namespace {

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
  tokens.reserve(text.size());  // at most one per character: room made once
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

// The class CheckExponentMarkers gives a character that starts or continues a token. Signs
// have none of their own: an exponent's sign stands alone between its "e" and its digits
// whatever signs join each other elsewhere.
ExpressionChar ExponentClass(char c) {
  if (IsDigitOrPoint(c)) return ExpressionChar::Digit;
  if (IsNameChar(c)) return ExpressionChar::Letter;
  return ExpressionChar::Other;
}

// Whether the kept token at start goes on from the token in front of it; see ExpressionTail.
bool ContinuesFront(const std::vector<std::string_view>& tokens, std::size_t start) {
  const std::string_view before = tokens[start - 1];
  const std::string_view kept = tokens[start];
  if (before.back() == '=') return false;  // the end of the expression before
  if (before.back() == '^') return true;
  if (before.data() + before.size() == kept.data()) return true;  // nothing between them
  return kept.front() == '(' && IsCallName(before);
}

}  // namespace

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

ExpressionTail ExtractTail(std::string_view text, std::string& storage) {
  ExpressionTail tail;
  tail.narrowed = Narrow(text, storage);
  const std::vector<std::string_view> tokens = CutExpression(tail.narrowed);
  if (tokens.empty()) {
    tail.expression.push_back('=');
    tail.front = tail.narrowed.size();
    return tail;
  }
  const std::size_t equals = tokens.size() - 1;

  const std::size_t first = EndsWithAnyOf(tokens[0], "*/") ? 1 : 0;
  std::size_t front = first;
  for (std::size_t j = front; j < equals; ++j) {
    const int shift = StartShift(ClassifyTokenEnd(tokens[j]), ClassifyTokenEnd(tokens[j + 1]));
    if (shift > 0) front = j + static_cast<std::size_t>(shift);
  }
  tail.front = static_cast<std::size_t>(tokens[front].data() - tail.narrowed.data());

  std::size_t start = front;
  if (equals == 0 || EndsWithAnyOf(tokens[equals - 1], "(+-*/,e")) start = equals;
  // A number's exponent cut off from it ("2e3=" would otherwise answer 3).
  if (start >= 2 && start < equals && tokens[start - 1] == "e" &&
      ClassifyTokenEnd(tokens[start - 2]) == TokenEnd::Number) {
    start = equals;
  }
  tail.continues_front = start != first && ContinuesFront(tokens, start);

  std::size_t size = 0;
  for (std::size_t k = start; k <= equals; ++k) size += tokens[k].size();
  tail.expression.reserve(size);
  for (std::size_t k = start; k <= equals; ++k) tail.expression += tokens[k];
  DropUnmatchedClosing(tail.expression);
  return tail;
}

std::string ExtractExpression(std::string_view text) {
  std::string storage;
  return ExtractTail(text, storage).expression;
}

bool IsCallName(std::string_view name) {
  if (FindStatementNamed(Statements(), name) != nullptr) return true;
  for (const Function& function : Functions()) {
    if (function.token.size() == name.size() + 1 && function.token.starts_with(name)) return true;
  }
  return false;
}

bool IsProseChar(char c) {
  return ClassifyExpressionChar(c) == ExpressionChar::Other && c != ' ' && c != '\t' && c != '%';
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
    const bool exponent =
        k > 0 && k + 2 < tokens.size() && ConsistsOf(tokens[k - 1], "0123456789.") &&
        (tokens[k + 1] == "+" || tokens[k + 1] == "-") && ConsistsOf(tokens[k + 2], "0123456789");
    if (!exponent) return std::string();
  }
  return text;
}

}  // namespace tallo
