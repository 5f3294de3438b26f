#pragma once
// The expression evaluator: a text-rewriting reducer, not a parser. Each step cuts the
// expression into tokens, performs exactly one operation, writes its result back as "%g"
// text and joins the tokens again, so every intermediate result is rounded to six
// significant digits ("1/3*3=" gives 0.999999).

#include <string>
#include <string_view>

namespace tallo {

// The text a failed step leaves behind.
inline constexpr std::string_view kEvaluationFailed = "FALSE";

// Applies EvaluateExpression until the text stops changing, fails, or 200 steps have
// run. The result is a number text, "FALSE", or a text that cannot be reduced further.
std::string EvaluateUntilStable(std::string_view expression);

// One reduction step: the innermost, leftmost parenthesis group is worked first; within
// it "*" and "/" (left to right) come before "+" and "-"; a function is applied once its
// arguments are plain numbers.
std::string EvaluateExpression(std::string_view expression);

// A plain number: digits, signs and points with at most one exponent "e" that follows a
// digit, sign or point and is followed by a sign and a digit ("2e+3", not "2e3").
bool IsNumberText(std::string_view token);

}  // namespace tallo
