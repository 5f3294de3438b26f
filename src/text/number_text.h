#pragma once
// Number text: every conversion between numbers and text in Tallo goes through here.
//
// The results match the C conversions of a worksheet's reports ("%g", "%f", "%0.2e", "%d",
// atof, atoi) but never depend on the C locale: a Qt program runs in the user's locale,
// and a report must never show a decimal comma. Exponents always carry at least three
// digits ("1.5e+010"), and non-finite values print as "inf", "-inf" and "nan".

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace tallo {

// "%g" with the given number of significant digits (default six): fixed form for
// exponents -4 up to the precision, exponent form otherwise, trailing zeros dropped.
std::string FormatGeneral(double value, int significant = 6);

// The number a "%g" text of the value stands for: the value rounded to its first six (or
// significant) digits, as the text would read back.
double RoundToGeneral(double value, int significant = 6);

// "%.Nf": N decimals ("%f" is six).
std::string FormatFixed(double value, int decimals = 6);

// "%.Ne": one digit, N decimals, exponent ("%0.2e" gives "1.50e+003").
std::string FormatScientific(double value, int decimals);

// "%d".
std::string FormatInteger(long long value);

// The same conversions appended to a text.
void AppendGeneral(std::string& out, double value, int significant = 6);
void AppendFixed(std::string& out, double value, int decimals = 6);
void AppendScientific(std::string& out, double value, int decimals);
void AppendInteger(std::string& out, long long value);

// One argument of Format: a whole number, a real number or a text.
class FormatArg {
 public:
  FormatArg(int value) : value_(static_cast<long long>(value)) {}
  FormatArg(long value) : value_(static_cast<long long>(value)) {}
  FormatArg(long long value) : value_(value) {}
  FormatArg(unsigned value) : value_(static_cast<long long>(value)) {}
  FormatArg(unsigned long value) : value_(static_cast<long long>(value)) {}
  FormatArg(double value) : value_(value) {}
  FormatArg(const char* text) : value_(std::string_view(text)) {}
  FormatArg(std::string_view text) : value_(text) {}
  FormatArg(const std::string& text) : value_(std::string_view(text)) {}

  // The argument converted for a directive: %d truncates a real number, %f %g %e widen a
  // whole number, %s writes a number as "%g".
  long long AsInteger() const;
  double AsReal() const;
  void AppendText(std::string& out) const;

 private:
  std::variant<long long, double, std::string_view> value_;
};

// Appends a printf-style pattern to out. Directives: %d, %f, %.Nf, %g, %.Ne, %s and %%
// (a "0" flag, as in "%0.3f", is accepted and has no effect, as in C without a width).
void AppendFormatArgs(std::string& out, std::string_view pattern,
                      std::initializer_list<FormatArg> args);

template <typename... Args>
void AppendFormat(std::string& out, std::string_view pattern, const Args&... args) {
  AppendFormatArgs(out, pattern, {FormatArg(args)...});
}

template <typename... Args>
std::string Format(std::string_view pattern, const Args&... args) {
  std::string out;
  AppendFormatArgs(out, pattern, {FormatArg(args)...});
  return out;
}

// C's atof on decimal text: leading white space skipped, optional sign, digits with an
// optional point and optional exponent; the longest valid leading number is read
// ("12abc3" is 12, "1.5e" is 1.5). No hexadecimal, no "inf" or "nan" words. Text with no
// number gives 0; overflow gives +-inf, underflow 0.
double ParseReal(std::string_view text);

// C's atoi: leading white space, optional sign, decimal digits; clamped to the int range.
int ParseInteger(std::string_view text);

// Drops trailing zeros of the fractional part and a bare trailing point ("12.500000" gives
// "12.5", "5.000" gives "5"); an exponent part is left as it is, and a text without a
// point never changes.
std::string TrimTrailingZeros(std::string_view text);

// A single-number answer: "%g" then TrimTrailingZeros.
std::string NumberText(double value);

}  // namespace tallo
