#include "engine/line_lexemes.h"

#include "text/char_classes.h"
#include "text/number_text.h"

namespace tallo {
namespace {

// A token of the pre-pass's number class, digits, points and signs ("2", "-5.50", "2+3"):
// signs one by one, digits and points as numbers.
bool CutNumberToken(std::string_view token, Lexemes& lexemes) {
  for (std::size_t i = 0; i < token.size();) {
    if (token[i] == '+' || token[i] == '-') {
      lexemes.push_back({LexemeKind::Sign, token.substr(i++, 1)});
      continue;
    }
    const std::size_t end = DigitRunEnd(token, i);
    if (end == std::string_view::npos) return false;
    const std::string_view number = token.substr(i, end - i);
    lexemes.push_back({LexemeKind::Number, number, nullptr, ParseReal(number)});
    i = end;
  }
  return true;
}

// A token of parentheses, "*" and "/", or commas: each character a lexeme of its own.
void CutSingles(std::string_view token, Lexemes& lexemes) {
  for (std::size_t i = 0; i < token.size(); ++i) {
    LexemeKind kind = LexemeKind::Comma;
    switch (token[i]) {
      case '(': kind = LexemeKind::Open; break;
      case ')': kind = LexemeKind::Close; break;
      case '*': case '/': kind = LexemeKind::MulDiv; break;
      default: break;
    }
    lexemes.push_back({kind, token.substr(i, 1)});
  }
}

}  // namespace

bool CutLineExpression(std::span<const std::string_view> tokens, std::size_t start,
                       std::size_t equals, const VariableTable& variables, Lexemes& lexemes) {
  lexemes.clear();
  // Blanks and "=" in front of the expression are passed over.
  std::size_t k = start;
  while (k < equals && (tokens[k][0] == ' ' || tokens[k][0] == '=')) ++k;
  bool call_opened = false;  // the "(" that starts the next token belongs to a call
  for (; k < equals; ++k) {
    std::string_view token = tokens[k];
    switch (ClassifyWorksheetChar(token[0])) {
      case WorksheetChar::Space:
        break;
      case WorksheetChar::Number:
        if (!CutNumberToken(token, lexemes)) return false;
        break;
      case WorksheetChar::Letter:
        if (const VariableValue* value = variables.Find(token)) {
          // A variable right after a number may be the "e" of its exponent ("2e+3"); one
          // with digits written against it ("2x", "x2") has no plain reading: the full
          // extraction judges them.
          if (k > start && EndsWithDigitOrPoint(tokens[k - 1])) return false;
          if (k + 1 < equals && StartsWithDigitOrPoint(tokens[k + 1])) return false;
          if (value->number) {  // read once, when it was assigned
            lexemes.push_back({LexemeKind::Number, value->written(), nullptr, *value->number});
          } else if (!CutNumberToken(value->written(), lexemes)) {
            return false;
          }
          break;
        }
        // Otherwise the name of a function, with its "(" right after it.
        if (k + 1 == equals || tokens[k + 1][0] != '(') return false;
        token = std::string_view(token.data(), token.size() + 1);
        if (const Function* function = FindFunction(token)) {
          lexemes.push_back({LexemeKind::Call, token, function});
          call_opened = true;
          break;
        }
        return false;
      case WorksheetChar::Paren:
        if (call_opened) token.remove_prefix(1);
        call_opened = false;
        CutSingles(token, lexemes);
        break;
      case WorksheetChar::MulDiv:
      case WorksheetChar::Comma:
        CutSingles(token, lexemes);
        break;
      default:
        return false;  // an "=" within, prose, TABs, bytes of 128 and above
    }
  }
  return true;  // nothing at all is no expression, which the evaluator finds
}

}  // namespace tallo
