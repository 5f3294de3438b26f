#pragma once
// The engine's entry point: Do Calculation as a pure function from text to text.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/insertions.h"
#include "engine/reasons.h"

namespace tallo {

struct Calculation {
  std::string text;                   // the calculated worksheet
  std::vector<Insertion> insertions;  // what turns the input into text, in offset order
  std::vector<Reason> reasons;        // in the order of their "=", when asked for
};

// What a user may ask of a calculation beyond the answers themselves.
struct CalculationOptions {
  bool p_values = false;  // an exact p-value after every significance label of a report
  bool reasons = false;   // also say why each "=" got no answer; costs nothing when false
};

// Answers every scalar expression of a worksheet. The text may use CR LF, LF or mixed line
// ends; nothing but the inserted answers differs between input and output.
Calculation CalculateWorksheet(std::string_view text, const CalculationOptions& options = {});

}  // namespace tallo
