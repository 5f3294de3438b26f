#pragma once
// The engine's entry point: Do Calculation as a pure function from text to text.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/insertions.h"
#include "engine/reasons.h"

namespace tallo {

struct CalculationOptions {
  // Also say why each "=" got no answer. Costs nothing when false.
  bool reasons = false;
};

struct Calculation {
  std::string text;                   // the calculated worksheet
  std::vector<Insertion> insertions;  // what turns the input into text, in offset order
  std::vector<Reason> reasons;        // in the order of their "=", when asked for
};

// Answers every scalar expression of a worksheet. The text may use CR LF, LF or mixed line
// ends; nothing but the inserted answers differs between input and output.
Calculation CalculateWorksheet(std::string_view text, const CalculationOptions& options = {});

}  // namespace tallo
