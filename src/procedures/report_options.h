#pragma once
// How reports are written, as the user asks for them; and the field that exact p-values add
// at the end of every line that carries a significance label.

#include <string>
#include <string_view>

namespace tallo {

struct ReportOptions {
  bool p_values = false;  // an exact p-value after every significance label
};

// "p=" and p with four significant digits ("p=0.01234", "p=3.2e-007"); "p<1e-300" below
// that, 0 included.
std::string PValueText(double p);

// A TAB and PValueText(p) put before the CR LF that ends the report's last line.
void InsertPValueField(std::string& report, double p);

// With p-values asked for, ends the report's last line, which carries a significance label,
// with the p-value of the statistic it reports; p_value() is called only then.
template <typename PValue>
void AppendPValue(std::string& report, const ReportOptions& options, PValue p_value) {
  if (options.p_values) InsertPValueField(report, p_value());
}

}  // namespace tallo
