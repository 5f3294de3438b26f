#pragma once
// The functions of worksheet expressions: "sqrt(", "pow(", "probt(", "nCr(" and the rest.

#include <span>
#include <string_view>

namespace tallo {

struct Function {
  std::string_view token;  // the name with its "(", as the evaluator cuts it
  int arguments;           // 1 or 2
  bool rejects_negative;   // a negative first argument has no answer (sqrt, log, loge, logd)
  // The result from the argument texts: real arguments read as atof reads them, whole
  // ones as atoi does (so nCr(5.9,2) is nCr(5,2)).
  double (*apply)(std::string_view x, std::string_view y);
};

std::span<const Function> Functions();

// The function whose token this is, or nullptr.
const Function* FindFunction(std::string_view token);

}  // namespace tallo
