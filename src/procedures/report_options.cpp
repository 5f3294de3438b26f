#include "procedures/report_options.h"

#include "text/number_text.h"

namespace tallo {
namespace {

// Smaller p-values are shown as a bound: their digits say nothing a reader can use, and
// near the end of the double range they are no longer accurate.
constexpr double kSmallestPValueShown = 1e-300;
constexpr int kPValueDigits = 4;

}  // namespace

std::string PValueText(double p) {
  if (p < kSmallestPValueShown) return "p<1e-300";
  return "p=" + FormatGeneral(p, kPValueDigits);
}

void InsertPValueField(std::string& report, double p) {
  constexpr std::string_view kLineEnd = "\r\n";
  const std::size_t end =
      report.ends_with(kLineEnd) ? report.size() - kLineEnd.size() : report.size();
  report.insert(end, "\t" + PValueText(p));
}

}  // namespace tallo
