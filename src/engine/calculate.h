#pragma once
// The engine's entry point: Do Calculation as a pure function from text to text, either
// returned whole or streamed out piece by piece.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calculation_counts.h"
#include "engine/insertions.h"
#include "engine/reasons.h"

namespace tallo {

struct Calculation {
  std::string text;                   // the calculated worksheet
  std::vector<Insertion> insertions;  // what turns the input into text, in offset order;
                                      // their texts are views of text
  std::vector<Reason> reasons;        // in the order of their "=", when asked for

  Calculation() = default;
  // Copies and moves keep the insertions' views on their own text.
  Calculation(const Calculation& other);
  Calculation(Calculation&& other) noexcept;
  Calculation& operator=(const Calculation& other);
  Calculation& operator=(Calculation&& other) noexcept;
  ~Calculation() = default;

 private:
  void ViewOwnText(const char* viewed);
};

// What a user may ask of a calculation beyond the answers themselves.
struct CalculationOptions {
  bool p_values = false;  // an exact p-value after every significance label of a report
  bool reasons = false;   // also say why each "=" got no answer; costs nothing when false
  CalculationCounts* counts = nullptr;  // where to add what the calculation did, when given
  // The bytes the data sets' readings may hold at once, a few times the tables of a large
  // worksheet: past it the least recently used are read again when a statement asks.
  std::size_t reading_budget = std::size_t{32} << 20;
};

// Answers every scalar expression of a worksheet. The text may use CR LF, LF or mixed line
// ends; nothing but the inserted answers differs between input and output.
Calculation CalculateWorksheet(std::string_view text, const CalculationOptions& options = {});

// The same calculation written to sink as it is produced, so that beside the text and its
// data sets only the piece in hand is held; returns the reasons, when asked for.
std::vector<Reason> CalculateWorksheet(std::string_view text, const CalculationOptions& options,
                                       CalculatedTextSink& sink);

}  // namespace tallo
