#include "fuzz/calculation_invariant.h"

#include "engine/calculate.h"

namespace tallo::fuzzing {

std::string CheckCalculation(std::string_view text) {
  const Calculation calculation = CalculateWorksheet(text);
  const std::string_view output = calculation.text;
  std::size_t copied = 0;    // input characters matched so far
  std::size_t position = 0;  // in output
  for (const Insertion& insertion : calculation.insertions) {
    if (insertion.offset < copied || insertion.offset > text.size()) return "insertion out of order";
    if (insertion.text.empty()) return "empty insertion";
    if (insertion.offset == 0 || text[insertion.offset - 1] != '=') return "insertion not after =";
    const std::size_t unchanged = insertion.offset - copied;
    if (output.substr(position, unchanged) != text.substr(copied, unchanged)) return "text changed";
    position += unchanged;
    if (output.substr(position, insertion.text.size()) != insertion.text) return "insertion missing";
    position += insertion.text.size();
    copied = insertion.offset;
  }
  if (output.substr(position) != text.substr(copied)) return "text changed at the end";
  return {};
}

std::string SecondCalculationGains(std::string_view calculated) {
  std::string gains;
  for (const Insertion& insertion : CalculateWorksheet(calculated).insertions) {
    gains += insertion.text + "\n";
  }
  return gains;
}

}  // namespace tallo::fuzzing
