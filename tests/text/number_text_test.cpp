#include "text/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace tallo {
namespace {

// Property: the conversions agree with the C library in the "C" locale on any double, up
// to the width of the exponent.
std::string CReference(const char* pattern, double value) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, pattern, value);
  std::string text = buffer;
  const std::size_t e = text.find('e');
  if (e != std::string::npos && text.size() - e - 2 < 3) text.insert(e + 2, "0");
  return text;
}

TEST(NumberText, AgreesWithCLibraryOnRandomValues) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  std::mt19937_64 random(20261206);
  std::uniform_int_distribution<int> exponent(-320, 308);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  for (int i = 0; i < 20000; ++i) {
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    ASSERT_EQ(FormatGeneral(value), CReference("%g", value)) << value;
    ASSERT_EQ(FormatScientific(value, 2), CReference("%0.2e", value)) << value;
    if (std::fabs(value) < 1e30) {
      ASSERT_EQ(FormatFixed(value), CReference("%f", value)) << value;
    }
    // Other numbers of digits, as "%.Ng" and "%.Ne" give them (C reads "%.0g" as "%.1g").
    const std::string digits = std::to_string(i % 12);
    ASSERT_EQ(FormatGeneral(value, i % 12), CReference(("%." + digits + "g").c_str(), value))
        << value << " " << digits;
    ASSERT_EQ(FormatScientific(value, i % 12), CReference(("%." + digits + "e").c_str(), value))
        << value << " " << digits;
  }
}

// Values whose seventh significant digit is a 5 lie next to a rounding tie: the digits
// must still come out as an exact conversion gives them.
TEST(NumberText, NearTiesAgreeWithCLibrary) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<long long> digits(100000, 999999);
  std::uniform_int_distribution<int> exponent(-30, 30);
  for (int i = 0; i < 50000; ++i) {
    const double value = (static_cast<double>(digits(random)) * 10 + 5) * std::pow(10.0, exponent(random));
    ASSERT_EQ(FormatGeneral(value), CReference("%g", value)) << value;
    ASSERT_EQ(FormatGeneral(-value), CReference("%g", -value)) << value;
    ASSERT_EQ(RoundToGeneral(value), ParseReal(CReference("%g", value))) << value;
  }
}

// Report values sit next to ties as often as any: x.yyyyyy5 for "%f", x.yyy5 for "%0.3f".
TEST(FormatFixed, NearTiesAgreeWithCLibrary) {
  std::mt19937_64 random(13);
  std::uniform_int_distribution<long long> digits(0, 99999999);
  for (int i = 0; i < 50000; ++i) {
    const double six = (static_cast<double>(digits(random)) * 10 + 5) / 1e7;
    const double three = (static_cast<double>(digits(random)) * 10 + 5) / 1e4;
    ASSERT_EQ(FormatFixed(six), CReference("%f", six)) << six;
    ASSERT_EQ(FormatFixed(-six), CReference("%f", -six)) << six;
    ASSERT_EQ(FormatFixed(three, 3), CReference("%.3f", three)) << three;
    ASSERT_EQ(FormatFixed(three, 0), CReference("%.0f", three)) << three;
  }
  EXPECT_EQ(FormatFixed(0.0000005), CReference("%f", 0.0000005));
}

// The doubles around a power of ten lie either side of where the decimal exponent changes,
// where a first guess of the exponent is one off.
TEST(NumberText, NeighboursOfPowersOfTenAgreeWithCLibrary) {
  for (int power = -30; power <= 30; ++power) {
    double value = std::nextafter(std::nextafter(std::pow(10.0, power), 0.0), 0.0);
    for (int step = 0; step < 5; ++step, value = std::nextafter(value, HUGE_VAL)) {
      for (int digits = 1; digits <= 9; ++digits) {
        const std::string format = "%." + std::to_string(digits) + "g";
        ASSERT_EQ(FormatGeneral(value, digits), CReference(format.c_str(), value)) << value;
        ASSERT_EQ(RoundToGeneral(value, digits), ParseReal(CReference(format.c_str(), value)))
            << value;
      }
    }
  }
}

TEST(RoundToGeneral, TheNumberTheTextReadsBack) {
  std::mt19937_64 random(11);
  std::uniform_int_distribution<int> exponent(-320, 308);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  for (int i = 0; i < 50000; ++i) {
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    if (!std::isfinite(value)) continue;
    ASSERT_EQ(RoundToGeneral(value), ParseReal(CReference("%g", value))) << value;
  }
}

// Property: decimal texts read as the C library reads them in the "C" locale.
TEST(ParseReal, AgreesWithCLibraryOnRandomDecimals) {
  std::mt19937_64 random(17);
  std::uniform_int_distribution<int> length(1, 20);
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> point(-1, 20);
  for (int i = 0; i < 100000; ++i) {
    std::string text = i % 3 == 0 ? "-" : "";
    const int digits = length(random);
    const int point_at = point(random);
    for (int d = 0; d < digits; ++d) {
      if (d == point_at) text += '.';
      text += static_cast<char>('0' + digit(random));
    }
    if (i % 5 == 0) text += "e" + std::to_string(point(random) - 10);
    ASSERT_EQ(ParseReal(text), std::strtod(text.c_str(), nullptr)) << text;
  }
}

}  // namespace
}  // namespace tallo
