#pragma once
// The functions of worksheet expressions: "sqrt(", "pow(", "probt(", "nCr(" and the rest.

#include <span>
#include <string>
#include <string_view>

namespace tallo {

// An argument as the evaluators hold it: its value and, when it was written rather than
// computed, its text. Whole-number arguments are read from the text as atoi reads it (so
// nCr(5.9,2) is nCr(5,2), and a computed 1e+06 is read as 1).
struct Argument {
  double value = 0;
  std::string_view written;  // empty for a computed value, whose text is its "%g" form
  char sign = '\0';          // a sign written in front of the number, when not in written
};

// Appends the argument's text: the number as written, with its sign, or the computed
// value's.
void AppendWrittenText(std::string& out, const Argument& x);

struct Function {
  std::string_view token;  // the name with its "(", as the evaluator cuts it
  int arguments;           // 1 or 2
  bool rejects_negative;   // a negative first argument has no answer (sqrt, log, loge, logd)
  double (*apply)(const Argument& x, const Argument& y);
};

std::span<const Function> Functions();

// The function whose token this is, or nullptr.
const Function* FindFunction(std::string_view token);

}  // namespace tallo
