#include "fuzz/calculation_invariant.h"

#include <algorithm>

#include "engine/calculate.h"

namespace tallo::fuzzing {
namespace {

std::string CheckReasons(std::string_view text, const Calculation& calculation) {
  const Calculation explained = CalculateWorksheet(text, {.reasons = true});
  if (explained.text != calculation.text || explained.insertions != calculation.insertions) {
    return "reasons changed the calculation";
  }
  std::size_t line = 1;
  std::size_t counted = 0;  // the input before it has its LFs in line
  for (std::size_t k = 0; k < explained.reasons.size(); ++k) {
    const Reason& reason = explained.reasons[k];
    if (k > 0 && reason.offset <= explained.reasons[k - 1].offset) return "reasons out of order";
    if (reason.offset >= text.size() || text[reason.offset] != '=') return "reason not at an =";
    if (reason.calculated_offset >= calculation.text.size() ||
        calculation.text[reason.calculated_offset] != '=') {
      return "reason not at an = of the calculated text";
    }
    for (; counted < reason.offset; ++counted) line += text[counted] == '\n' ? 1 : 0;
    if (reason.line != line || reason.column == 0) return "reason on the wrong line";
    if (reason.message.empty()) return "reason without words";
    // Only a statement whose data fall short has both a report and a reason.
    const bool answered = std::any_of(
        calculation.insertions.begin(), calculation.insertions.end(),
        [&](const Insertion& insertion) { return insertion.offset == reason.offset + 1; });
    if (answered && reason.kind != ReasonKind::TooFewValues &&
        reason.kind != ReasonKind::ListForTable) {
      return "reason for an answered =";
    }
  }
  return {};
}

std::string CheckInsertions(std::string_view text, const Calculation& calculation) {
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
  return CheckReasons(text, calculation);
}

// Whether line is base, or base with "\tp=..." or "\tp<..." (no further TAB) at its end,
// before a CR that ends both.
bool AddsPValueField(std::string_view line, std::string_view base) {
  if (line.ends_with('\r') != base.ends_with('\r')) return false;
  if (line.ends_with('\r')) {
    line.remove_suffix(1);
    base.remove_suffix(1);
  }
  if (line == base) return true;
  if (!line.starts_with(base)) return false;
  const std::string_view field = line.substr(base.size());
  return (field.starts_with("\tp=") || field.starts_with("\tp<")) &&
         field.find('\t', 1) == std::string_view::npos;
}

std::string CheckPValueFields(std::string_view with_p_values, std::string_view without) {
  while (!with_p_values.empty() || !without.empty()) {
    const std::size_t line_end = with_p_values.find('\n');
    const std::size_t base_end = without.find('\n');
    if (!AddsPValueField(with_p_values.substr(0, line_end), without.substr(0, base_end))) {
      return "p-values changed more than a field at a line end: " +
             std::string(with_p_values.substr(0, line_end));
    }
    if ((line_end == std::string_view::npos) != (base_end == std::string_view::npos)) {
      return "p-values changed the lines";
    }
    if (line_end == std::string_view::npos) break;
    with_p_values.remove_prefix(line_end + 1);
    without.remove_prefix(base_end + 1);
  }
  return {};
}

}  // namespace

std::string CheckCalculation(std::string_view text) {
  const Calculation calculation = CalculateWorksheet(text);
  if (std::string violation = CheckInsertions(text, calculation); !violation.empty()) {
    return violation;
  }
  return CheckPValueFields(CalculateWorksheet(text, {.p_values = true}).text, calculation.text);
}

std::string SecondCalculationGains(std::string_view calculated, const CalculationOptions& options) {
  std::string gains;
  for (const Insertion& insertion : CalculateWorksheet(calculated, options).insertions) {
    gains += std::string(insertion.text) + "\n";
  }
  return gains;
}

}  // namespace tallo::fuzzing
