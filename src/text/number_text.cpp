#include "text/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

#include "text/char_classes.h"

namespace tallo {
namespace {

// Room for the longest fixed form of a double (309 integer digits), a sign, a point and
// the decimals the reports ask for.
constexpr int kMaxDecimals = 60;
constexpr std::size_t kBufferSize = 320 + kMaxDecimals;

void AppendNonFinite(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "nan";  // never "-nan": the sign of a NaN means nothing
  } else {
    out += value < 0 ? "-inf" : "inf";
  }
}

std::string_view ToChars(char (&buffer)[kBufferSize], double value, std::chars_format format,
                         int precision) {
  const auto result = std::to_chars(buffer, buffer + kBufferSize, value, format,
                                    std::clamp(precision, 0, kMaxDecimals));
  assert(result.ec == std::errc());
  return std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
}

// Drops trailing zeros and a bare point from a fixed-form number.
std::string_view WithoutFractionZeros(std::string_view number) {
  if (number.find('.') == std::string_view::npos) return number;
  while (number.back() == '0') number.remove_suffix(1);
  if (number.back() == '.') number.remove_suffix(1);
  return number;
}

// Appends a to_chars scientific text ("1.5e+10") with an exponent of at least three digits
// ("1.5e+010"), its mantissa first passed through trim.
template <typename Trim>
void AppendScientificText(std::string& out, std::string_view scientific, Trim trim) {
  const std::size_t e = scientific.find('e');
  out += trim(scientific.substr(0, e));
  out += scientific.substr(e, 2);  // "e" and the sign
  const std::string_view digits = scientific.substr(e + 2);
  if (digits.size() < 3) out.append(3 - digits.size(), '0');
  out += digits;
}

// The decimal exponent of a to_chars scientific text.
int ExponentOf(std::string_view scientific) {
  const std::size_t e = scientific.find('e');
  int exponent = 0;
  for (char c : scientific.substr(e + 2)) exponent = exponent * 10 + (c - '0');
  return scientific[e + 1] == '-' ? -exponent : exponent;
}

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Decides overflow against underflow for a number from_chars could not represent:
// the decimal exponent of its leading significant digit.
bool DecimalMagnitudeIsLarge(std::string_view mantissa, std::string_view exponent) {
  const std::size_t point = mantissa.find('.');
  const std::size_t integer_digits = point == std::string_view::npos ? mantissa.size() : point;
  const std::size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string_view::npos) return false;
  const long long magnitude = first < integer_digits
                                  ? static_cast<long long>(integer_digits - first) - 1
                                  : -static_cast<long long>(first - integer_digits);
  long long exp = 0;
  bool negative = !exponent.empty() && exponent[0] == '-';
  for (char c : exponent) {
    if (IsDigit(c)) exp = std::min(exp * 10 + (c - '0'), 1000000000LL);
  }
  return magnitude + (negative ? -exp : exp) >= 0;
}

// Powers of ten that a double holds exactly.
constexpr std::array<double, 23> kExactPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// value * 10^power in one correctly rounded operation, when 10^|power| is exact.
std::optional<double> ScaleByPowerOfTen(double value, int power) {
  if (power > 22 || power < -22) return std::nullopt;
  return power >= 0 ? value * kExactPowersOfTen[static_cast<std::size_t>(power)]
                    : value / kExactPowersOfTen[static_cast<std::size_t>(-power)];
}

// The decimal exponent of a positive normal value, or one less: floor(e * log10(2)) for
// its binary exponent e (78913 / 2^18 is log10(2) to the precision that needs), read from
// its bits rather than by a logarithm.
int EstimatedDecimalExponent(double magnitude) {
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const int binary_exponent = static_cast<int>((bits >> 52) & 0x7ff) - 1023;
  return (binary_exponent * 78913) >> 18;
}

// A value rounded to its first `precision` significant digits: digits holds them as a
// whole number (10^(precision-1) <= digits < 10^precision) and exponent is the decimal
// exponent of the first.
struct SignificantDigits {
  bool negative = false;
  std::uint64_t digits = 0;
  int exponent = 0;
  int precision = 0;
};

// The doubles nearest to 10^-22 ... 10^22; from 10^0 up they are exact.
constexpr std::array<double, 45> kNearestPowersOfTen = {
    1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11,
    1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,
    1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,
    1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22};

// The double nearest to 10^power, for powers within 22 of 0.
std::optional<double> NearestPowerOfTen(int power) {
  if (power > 22 || power < -22) return std::nullopt;
  return kNearestPowersOfTen[static_cast<std::size_t>(power + 22)];
}

// Finds the digits without the general conversion where that is safe: the value scaled
// to precision digits (below 10^9) by the nearest double to a power of ten is two
// roundings off at most, less than 3e-16 of itself, so unless its fraction lies closer
// than a good margin over that to one half, rounding it gives the digits an exact
// conversion gives. Near ties, extreme exponents and precisions beyond nine digits are
// left to to_chars. (A multiplication, where a division would round once: this runs for
// every operation of an expression.)
bool FindSignificantDigits(double value, int precision, SignificantDigits& found) {
  const double magnitude = std::fabs(value);
  if (precision > 9 || !(magnitude > 1e-300 && magnitude < 1e300)) return false;
  int exponent = EstimatedDecimalExponent(magnitude);
  // Compared with the double nearest to 10^(exponent + 1): a value between the two is a
  // rounding away from the power of ten and rounds to it at nine digits or fewer, with
  // either exponent.
  const std::optional<double> power = NearestPowerOfTen(exponent + 1);
  if (!power) return false;
  if (magnitude >= *power) ++exponent;  // the estimate was one less
  const std::optional<double> scale = NearestPowerOfTen(precision - 1 - exponent);
  if (!scale) return false;
  const double scaled = magnitude * *scale;
  const auto whole = static_cast<std::uint64_t>(scaled);  // positive: truncation is floor
  const double fraction = scaled - static_cast<double>(whole);
  if (std::fabs(fraction - 0.5) < 1e-9 + scaled * 1e-15) return false;
  auto digits = whole + static_cast<std::uint64_t>(fraction > 0.5);  // no branch to mispredict
  const auto limit = static_cast<std::uint64_t>(kExactPowersOfTen[static_cast<std::size_t>(precision)]);
  if (digits >= limit) {  // rounded up to the next power of ten
    digits /= 10;
    ++exponent;
  }
  found = {value < 0, digits, exponent, precision};
  return true;
}

// "%g" from found digits: fixed form for exponents -4 up to the precision, exponent form
// otherwise, trailing zeros dropped. Written into a buffer and appended once: this runs for
// every answer of a worksheet.
void AppendGeneralDigits(std::string& out, const SignificantDigits& found) {
  char digits[16];
  char* digits_end = std::to_chars(digits, digits + sizeof digits, found.digits).ptr;
  while (digits_end - digits > 1 && digits_end[-1] == '0') --digits_end;
  const auto count = static_cast<int>(digits_end - digits);
  // At most a sign, "0.", four zeros and nine digits, or a sign, nine digits, a point and
  // an exponent of three digits (FindSignificantDigits keeps within 1e-300 to 1e300).
  char text[32];
  char* p = text;
  if (found.negative) *p++ = '-';
  const int exponent = found.exponent;
  if (exponent >= 0 && exponent < found.precision) {
    const int integer = exponent + 1;
    if (count <= integer) {
      p = std::copy(digits, digits_end, p);
      p = std::fill_n(p, integer - count, '0');
    } else {
      p = std::copy(digits, digits + integer, p);
      *p++ = '.';
      p = std::copy(digits + integer, digits_end, p);
    }
  } else if (exponent < 0 && exponent >= -4) {
    *p++ = '0';
    *p++ = '.';
    p = std::fill_n(p, -exponent - 1, '0');
    p = std::copy(digits, digits_end, p);
  } else {
    *p++ = digits[0];
    if (count > 1) {
      *p++ = '.';
      p = std::copy(digits + 1, digits_end, p);
    }
    *p++ = 'e';
    *p++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    *p++ = static_cast<char>('0' + magnitude / 100);
    *p++ = static_cast<char>('0' + magnitude / 10 % 10);
    *p++ = static_cast<char>('0' + magnitude % 10);
  }
  out.append(text, p);
}

// "%.Nf" of a value below 10^12 / 10^N without the general conversion: the value scaled
// by 10^N is one correctly rounded operation, off by less than 1e-4, so away from a tie
// its rounding gives the digits an exact conversion gives. False where that is not sure.
bool AppendFixedDirectly(std::string& out, double value, int decimals) {
  const std::optional<double> scaled_value =
      decimals > 9 ? std::nullopt : ScaleByPowerOfTen(std::fabs(value), decimals);
  if (!scaled_value || !(*scaled_value < 1e12)) return false;
  const double scaled = *scaled_value;
  // Truncation is floor for a value from 0 to 10^12, without a library call.
  const double whole = static_cast<double>(static_cast<std::uint64_t>(scaled));
  if (std::fabs(scaled - whole - 0.5) < 1e-3) return false;
  const auto digits = static_cast<std::uint64_t>(scaled - whole > 0.5 ? whole + 1 : whole);
  // At most a sign, 13 digits (10^12 once rounded up) and the point moved in among them.
  char text[16];
  char* p = text;
  if (std::signbit(value)) *p++ = '-';  // as C writes -0.000000 for a small negative value
  char* const digits_start = p;
  p = std::to_chars(p, text + sizeof text, digits).ptr;
  // Zeros in front, so that a digit stands before the point.
  const auto written = static_cast<int>(p - digits_start);
  if (written <= decimals) {
    const int zeros = decimals + 1 - written;
    std::copy_backward(digits_start, p, p + zeros);
    std::fill_n(digits_start, zeros, '0');
    p += zeros;
  }
  if (decimals > 0) {
    std::copy_backward(p - decimals, p, p + 1);
    p[-decimals] = '.';
    ++p;
  }
  out.append(text, p);
  return true;
}

}  // namespace

double RoundToGeneral(double value, int significant) {
  if (!std::isfinite(value) || value == 0) return value;
  SignificantDigits found;
  if (FindSignificantDigits(value, std::max(significant, 1), found)) {
    if (const std::optional<double> rounded = ScaleByPowerOfTen(
            static_cast<double>(found.digits), found.exponent - found.precision + 1)) {
      return found.negative ? -*rounded : *rounded;
    }
  }
  return ParseReal(FormatGeneral(value, significant));
}

void AppendGeneral(std::string& out, double value, int significant) {
  if (!std::isfinite(value)) return AppendNonFinite(out, value);
  const int precision = std::max(significant, 1);
  SignificantDigits digits;
  if (FindSignificantDigits(value, precision, digits)) return AppendGeneralDigits(out, digits);
  char buffer[kBufferSize];
  const std::string_view scientific =
      ToChars(buffer, value, std::chars_format::scientific, precision - 1);
  const int exponent = ExponentOf(scientific);
  if (exponent >= -4 && exponent < precision) {
    char fixed[kBufferSize];
    out += WithoutFractionZeros(
        ToChars(fixed, value, std::chars_format::fixed, precision - 1 - exponent));
  } else {
    AppendScientificText(out, scientific, WithoutFractionZeros);
  }
}

void AppendFixed(std::string& out, double value, int decimals) {
  if (!std::isfinite(value)) return AppendNonFinite(out, value);
  if (AppendFixedDirectly(out, value, decimals)) return;
  char buffer[kBufferSize];
  out += ToChars(buffer, value, std::chars_format::fixed, decimals);
}

void AppendScientific(std::string& out, double value, int decimals) {
  if (!std::isfinite(value)) return AppendNonFinite(out, value);
  char buffer[kBufferSize];
  AppendScientificText(out, ToChars(buffer, value, std::chars_format::scientific, decimals),
                       [](std::string_view mantissa) { return mantissa; });
}

std::string FormatGeneral(double value, int significant) {
  std::string text;
  AppendGeneral(text, value, significant);
  return text;
}

std::string FormatFixed(double value, int decimals) {
  std::string text;
  AppendFixed(text, value, decimals);
  return text;
}

std::string FormatScientific(double value, int decimals) {
  std::string text;
  AppendScientific(text, value, decimals);
  return text;
}

void AppendInteger(std::string& out, long long value) {
  char buffer[24];
  out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string FormatInteger(long long value) {
  std::string text;
  AppendInteger(text, value);
  return text;
}

long long FormatArg::AsInteger() const {
  if (const auto* whole = std::get_if<long long>(&value_)) return *whole;
  if (const auto* real = std::get_if<double>(&value_)) {
    if (std::isnan(*real)) return 0;
    return static_cast<long long>(std::clamp(*real, -9.2e18, 9.2e18));
  }
  return ParseInteger(std::get<std::string_view>(value_));
}

double FormatArg::AsReal() const {
  if (const auto* whole = std::get_if<long long>(&value_)) return static_cast<double>(*whole);
  if (const auto* real = std::get_if<double>(&value_)) return *real;
  return ParseReal(std::get<std::string_view>(value_));
}

void FormatArg::AppendText(std::string& out) const {
  if (const auto* text = std::get_if<std::string_view>(&value_)) {
    out += *text;
  } else if (const auto* whole = std::get_if<long long>(&value_)) {
    AppendInteger(out, *whole);
  } else {
    AppendGeneral(out, std::get<double>(value_));
  }
}

void AppendFormatArgs(std::string& out, std::string_view pattern,
                      std::initializer_list<FormatArg> args) {
  const FormatArg* next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%' || i + 1 == pattern.size()) {
      out += pattern[i];
      continue;
    }
    std::size_t j = i + 1;
    if (pattern[j] == '%') {
      out += '%';
      i = j;
      continue;
    }
    if (pattern[j] == '0') ++j;
    int precision = -1;
    if (j < pattern.size() && pattern[j] == '.') {
      precision = 0;
      for (++j; j < pattern.size() && IsDigit(pattern[j]); ++j) {
        precision = precision * 10 + (pattern[j] - '0');
      }
    }
    if (j == pattern.size() || next == args.end()) {
      assert(!"format directive without an argument");
      out.append(pattern.substr(i));
      return;
    }
    const FormatArg& arg = *next++;
    switch (pattern[j]) {
      case 'd': AppendInteger(out, arg.AsInteger()); break;
      case 'f': AppendFixed(out, arg.AsReal(), precision < 0 ? 6 : precision); break;
      case 'g': AppendGeneral(out, arg.AsReal(), precision < 0 ? 6 : precision); break;
      case 'e': AppendScientific(out, arg.AsReal(), precision < 0 ? 6 : precision); break;
      case 's': arg.AppendText(out); break;
      default:
        assert(!"unknown format directive");
        out.append(pattern.substr(i, j - i + 1));
        break;
    }
    i = j;
  }
  assert(next == args.end() && "more format arguments than directives");
}

double ParseReal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  const std::size_t mantissa_start = i;
  std::size_t digits = 0;
  std::uint64_t whole = 0;  // the digits read as one whole number
  bool exact = true;        // ... which a double holds exactly (below 2^53)
  int fraction_digits = 0;
  const auto take_digit = [&](char c) {
    exact = exact && whole <= ((std::uint64_t{1} << 53) - 9) / 10;
    if (exact) whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
    ++digits;
  };
  while (i < text.size() && IsDigit(text[i])) take_digit(text[i++]);
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (; i < text.size() && IsDigit(text[i]); ++fraction_digits) take_digit(text[i++]);
  }
  if (digits == 0) return 0.0;
  const std::size_t mantissa_end = i;
  const bool has_exponent = i < text.size() && (text[i] == 'e' || text[i] == 'E');

  // Clinger's fast path: digits that make an exact double, scaled by an exact power of
  // ten, give the correctly rounded value in one operation.
  if (exact && !has_exponent) {
    if (const std::optional<double> scaled =
            ScaleByPowerOfTen(static_cast<double>(whole), -fraction_digits)) {
      return negative ? -*scaled : *scaled;
    }
  }

  std::size_t number_end = mantissa_end;
  if (has_exponent) {
    std::size_t k = i + 1;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
    if (k < text.size() && IsDigit(text[k])) {
      while (k < text.size() && IsDigit(text[k])) ++k;
      number_end = k;
    }
  }

  const std::string_view number = text.substr(mantissa_start, number_end - mantissa_start);
  double value = 0.0;
  auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    const std::string_view mantissa = text.substr(mantissa_start, mantissa_end - mantissa_start);
    const std::string_view exponent =
        number_end > mantissa_end ? text.substr(mantissa_end + 1, number_end - mantissa_end - 1)
                                  : std::string_view();
    value = DecimalMagnitudeIsLarge(mantissa, exponent) ? std::numeric_limits<double>::infinity()
                                                        : 0.0;
  }
  return negative ? -value : value;
}

int ParseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = std::min(magnitude * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
  }
  const long long value = negative ? -magnitude : magnitude;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::string TrimTrailingZeros(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t held = 0;  // zeros and points after the first point, not yet written
  bool seen_point = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == 'e') {
      out.append(text.substr(i - held, held));
      out.append(text.substr(i));
      return out;
    }
    if (c == '.') seen_point = true;
    if (seen_point && (c == '0' || c == '.')) {
      ++held;
      continue;
    }
    out.append(text.substr(i - held, held + 1));
    held = 0;
  }
  return out;
}

// "%g" leaves no trailing zeros in a fraction, so TrimTrailingZeros has nothing to drop.
std::string NumberText(double value) { return FormatGeneral(value); }

}  // namespace tallo
