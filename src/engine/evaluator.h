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

// What stopped a reduction short of a number, kept for the reason an "=" got no answer.
struct ReductionTrouble {
  enum class Kind {
    None,
    OperandNotANumber,  // an operator or a function met a neighbour that is no number
    NegativeArgument,   // sqrt, log or logd of a negative number
    NotFinite,          // a result that is inf or nan: 1/0, log(0), asin(2)
    StepBound,          // still changing after 200 steps
  };
  Kind kind = Kind::None;
  std::string operation;  // the tokens of the first such operation: "1/0", "sqrt(-4)", ",-1"
  double result = 0;      // with NotFinite: the value it gave
};

// Applies EvaluateExpression until the text stops changing, fails, or 200 steps have
// run. The result is a number text, "FALSE", or a text that cannot be reduced further.
// With trouble given, the first thing that went wrong is written there.
std::string EvaluateUntilStable(std::string_view expression, ReductionTrouble* trouble = nullptr);

// One reduction step: the innermost, leftmost parenthesis group is worked first; within
// it "*" and "/" (left to right) come before "+" and "-"; a function is applied once its
// arguments are plain numbers.
std::string EvaluateExpression(std::string_view expression, ReductionTrouble* trouble = nullptr);

// A plain number: digits, signs and points with at most one exponent "e" that follows a
// digit, sign or point and is followed by a sign and a digit ("2e+3", not "2e3").
bool IsNumberText(std::string_view token);

}  // namespace tallo
