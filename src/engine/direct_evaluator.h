#pragma once
// A direct evaluator for the expressions people usually write, giving exactly the answer
// the rewriting reducer (EvaluateUntilStable) gives, without rewriting the text step by
// step. It knows numbers, + - * /, parentheses and the functions, each result rounded to
// "%g" text as the reducer rounds it; anything else it leaves to the reducer.

#include <optional>
#include <string>
#include <string_view>

namespace tallo {

// The answer to an extracted expression (ending in "="): the number text the pre-pass
// inserts, or an empty text when the expression has no answer. nullopt when the
// expression is outside the forms handled here, so that the reducer must decide.
std::optional<std::string> EvaluateDirectly(std::string_view expression);

}  // namespace tallo
