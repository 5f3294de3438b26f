#include "text/number_text.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <system_error>

#include "text/char_classes.h"

namespace tallo {
namespace {

// Room for the longest fixed form of a double (309 integer digits) plus sign and point.
constexpr int kFixedIntegerRoom = 320;

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "nan";  // never "-nan": the sign of a NaN means nothing
  return value < 0 ? "-inf" : "inf";
}

std::string ToChars(double value, std::chars_format format, int precision) {
  std::string text(static_cast<std::size_t>(kFixedIntegerRoom + precision), '\0');
  auto result = std::to_chars(text.data(), text.data() + text.size(), value, format, precision);
  assert(result.ec == std::errc());
  text.resize(static_cast<std::size_t>(result.ptr - text.data()));
  return text;
}

// Rewrites the exponent of a to_chars scientific text with at least three digits.
std::string WidenExponent(const std::string& scientific) {
  std::size_t e = scientific.find('e');
  std::string digits = scientific.substr(e + 2);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return scientific.substr(0, e + 2) + digits;
}

// Drops trailing zeros and a bare point from a fixed-form mantissa.
void DropFractionZeros(std::string& mantissa) {
  if (mantissa.find('.') == std::string::npos) return;
  while (mantissa.back() == '0') mantissa.pop_back();
  if (mantissa.back() == '.') mantissa.pop_back();
}


bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Decides overflow against underflow for a number from_chars could not represent:
// the decimal exponent of its leading significant digit.
bool DecimalMagnitudeIsLarge(std::string_view mantissa, std::string_view exponent) {
  long long magnitude = 0;
  std::size_t point = mantissa.find('.');
  std::size_t integer_digits = point == std::string_view::npos ? mantissa.size() : point;
  std::size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string_view::npos) return false;
  if (first < integer_digits) {
    magnitude = static_cast<long long>(integer_digits - first) - 1;
  } else {
    magnitude = -static_cast<long long>(first - integer_digits);
  }
  long long exp = 0;
  bool negative = !exponent.empty() && exponent[0] == '-';
  for (char c : exponent) {
    if (IsDigit(c)) exp = std::min(exp * 10 + (c - '0'), 1000000000LL);
  }
  return magnitude + (negative ? -exp : exp) >= 0;
}

}  // namespace

std::string FormatGeneral(double value, int significant) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  const int precision = std::max(significant, 1);
  std::string scientific = ToChars(value, std::chars_format::scientific, precision - 1);
  const std::size_t e = scientific.find('e');
  const int exponent = std::stoi(scientific.substr(e + 1));
  if (exponent >= -4 && exponent < precision) {
    std::string fixed = ToChars(value, std::chars_format::fixed, precision - 1 - exponent);
    DropFractionZeros(fixed);
    return fixed;
  }
  std::string mantissa = scientific.substr(0, e);
  DropFractionZeros(mantissa);
  return WidenExponent(mantissa + scientific.substr(e));
}

std::string FormatFixed(double value, int decimals) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  return ToChars(value, std::chars_format::fixed, std::max(decimals, 0));
}

std::string FormatScientific(double value, int decimals) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  return WidenExponent(ToChars(value, std::chars_format::scientific, std::max(decimals, 0)));
}

std::string FormatInteger(long long value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
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

std::string FormatArg::AsText() const {
  if (const auto* text = std::get_if<std::string_view>(&value_)) return std::string(*text);
  if (const auto* whole = std::get_if<long long>(&value_)) return FormatInteger(*whole);
  return FormatGeneral(std::get<double>(value_));
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
      case 'd': out += FormatInteger(arg.AsInteger()); break;
      case 'f': out += FormatFixed(arg.AsReal(), precision < 0 ? 6 : precision); break;
      case 'g': out += FormatGeneral(arg.AsReal(), precision < 0 ? 6 : precision); break;
      case 'e': out += FormatScientific(arg.AsReal(), precision < 0 ? 6 : precision); break;
      case 's': out += arg.AsText(); break;
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
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  const std::size_t mantissa_end = i;

  std::size_t number_end = mantissa_end;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
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

std::string NumberText(double value) { return TrimTrailingZeros(FormatGeneral(value)); }

}  // namespace tallo
