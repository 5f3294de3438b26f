#pragma once
// A direct evaluator for the expressions people usually write, giving exactly the answer
// the rewriting reducer (EvaluateUntilStable) gives, without rewriting the text step by
// step. It knows numbers, + - * /, parentheses and the functions, each result rounded to
// "%g" text as the reducer rounds it; anything else it leaves to the reducer.
//
// It reads lexemes, cut either from an extracted expression's text or, by the pre-pass,
// straight from a line's tokens with the variables in place.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/functions.h"

namespace tallo {

enum class LexemeKind : std::uint8_t { Number, Sign, MulDiv, Open, Close, Comma, Call };

struct Lexeme {
  LexemeKind kind;
  // As written: a number's digits and points (and exponent), an operator's character, a
  // call's name and "(".
  std::string_view text;
  const Function* function = nullptr;  // of a call
  double number = 0;                   // a number's value, as atof reads its text
};
using Lexemes = std::vector<Lexeme>;

// Where the number at text[begin] ends: the run of digits and points from there, which
// must hold a digit and at most one point; npos when it does not.
std::size_t DigitRunEnd(std::string_view text, std::size_t begin);

// The answer to an extracted expression (ending in "="): the number text the pre-pass
// inserts. nullopt when the expression is outside the forms handled here, so that the
// reducer must decide.
std::optional<std::string> EvaluateDirectly(std::string_view expression);

// The same for an expression already cut into lexemes, as its text without blanks would
// be cut: true with the answer in answer, in place of what it held.
bool EvaluateLexemes(std::span<const Lexeme> lexemes, std::string& answer);

}  // namespace tallo
