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

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct FormatCase {
  double value;
  const char* expected;
};

// Expected texts are C's printf output with the exponent written with three digits.
TEST(FormatGeneral, SixSignificantDigits) {
  const FormatCase cases[] = {
      {12.516639, "12.5166"},  {0.3333333333, "0.333333"}, {2.0, "2"},
      {100, "100"},            {123456, "123456"},          {1234567, "1.23457e+006"},
      {1e6, "1e+006"},         {0.0001, "0.0001"},          {0.00001234, "1.234e-005"},
      {1.5e10, "1.5e+010"},    {-2.5, "-2.5"},              {0.0, "0"},
      {-0.0, "-0"},            {1e100, "1e+100"},           {1.7976931348623157e308, "1.79769e+308"},
      {9.9999995, "10"},       {999999.5, "1e+006"},        {5e-324, "4.94066e-324"},
  };
  for (const FormatCase& c : cases) EXPECT_EQ(FormatGeneral(c.value), c.expected) << c.value;
}

TEST(FormatGeneral, NonFiniteValues) {
  EXPECT_EQ(FormatGeneral(kInf), "inf");
  EXPECT_EQ(FormatGeneral(-kInf), "-inf");
  EXPECT_EQ(FormatGeneral(kNaN), "nan");
  EXPECT_EQ(FormatGeneral(-kNaN), "nan");
  EXPECT_EQ(FormatFixed(-kInf), "-inf");
  EXPECT_EQ(FormatScientific(kNaN, 2), "nan");
}

TEST(FormatFixed, Decimals) {
  EXPECT_EQ(FormatFixed(2.0), "2.000000");
  EXPECT_EQ(FormatFixed(1.0 / 3), "0.333333");
  EXPECT_EQ(FormatFixed(-0.0000004), "-0.000000");
  EXPECT_EQ(FormatFixed(2.5, 0), "2");  // ties go to even, as in C
  EXPECT_EQ(FormatFixed(3.5, 0), "4");
  EXPECT_EQ(FormatFixed(1.23456, 3), "1.235");
  EXPECT_EQ(FormatFixed(1e20), "100000000000000000000.000000");
  EXPECT_EQ(FormatFixed(1e300).size(), 301u + 7u);
}

TEST(FormatScientific, ThreeDigitExponent) {
  EXPECT_EQ(FormatScientific(1500, 2), "1.50e+003");
  EXPECT_EQ(FormatScientific(-0.000123, 2), "-1.23e-004");
  EXPECT_EQ(FormatScientific(0, 2), "0.00e+000");
  EXPECT_EQ(FormatScientific(1e-300, 2), "1.00e-300");
}

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
  EXPECT_EQ(FormatGeneral(0.5), "0.5");
  EXPECT_EQ(FormatGeneral(2.5e-5), "2.5e-005");
  EXPECT_EQ(FormatGeneral(999999.5), "1e+006");  // a tie, rounded to even
  EXPECT_EQ(FormatGeneral(1234565), "1.23456e+006");  // exactly a tie: to even
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
  EXPECT_EQ(FormatFixed(-1e-9), "-0.000000");
  EXPECT_EQ(FormatFixed(0.0000005), CReference("%f", 0.0000005));
  EXPECT_EQ(FormatFixed(999999.9999996), "1000000.000000");
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
  EXPECT_EQ(RoundToGeneral(1.0 / 3), 0.333333);
  EXPECT_EQ(RoundToGeneral(2.0 / 3), 0.666667);
  EXPECT_EQ(RoundToGeneral(123456789), 123457000);
  EXPECT_TRUE(std::isinf(RoundToGeneral(kInf)));
}

TEST(FormatInteger, Whole) {
  EXPECT_EQ(FormatInteger(0), "0");
  EXPECT_EQ(FormatInteger(-42), "-42");
  EXPECT_EQ(FormatInteger(std::numeric_limits<long long>::min()), "-9223372036854775808");
}

TEST(Format, Directives) {
  EXPECT_EQ(Format("Df=%d\tTs=%f\t%s\r\n", 4, 1.5, "n.s"), "Df=4\tTs=1.500000\tn.s\r\n");
  EXPECT_EQ(Format("mean=%0.3f\tsd=%0.3f", 2.0, 1.0 / 3), "mean=2.000\tsd=0.333");
  EXPECT_EQ(Format("%0.0f\t%0.5f", 2.5, 0.1), "2\t0.10000");
  EXPECT_EQ(Format("%0.2e, ", 12345.0), "1.23e+004, ");
  EXPECT_EQ(Format("Confidence Interval(95%%) %f", 1.0), "Confidence Interval(95%) 1.000000");
  EXPECT_EQ(Format("< %s\t\t|", std::string("2.8")), "< 2.8\t\t|");
  EXPECT_EQ(Format("%g", 1e-5), "1e-005");
  EXPECT_EQ(Format("no directives"), "no directives");
  std::string out = "x";
  AppendFormat(out, "*=%d\r\n", 2);
  EXPECT_EQ(out, "x*=2\r\n");
}

TEST(Format, ArgumentsConvertToTheDirective) {
  EXPECT_EQ(Format("%d", 2.9), "2");
  EXPECT_EQ(Format("%d", -2.9), "-2");
  EXPECT_EQ(Format("%f", 3), "3.000000");
  EXPECT_EQ(Format("%s", 1.5), "1.5");
  EXPECT_EQ(Format("%s", 7), "7");
}

struct ParseCase {
  const char* text;
  double expected;
};

TEST(ParseReal, LongestLeadingDecimalNumber) {
  const ParseCase cases[] = {
      {"12abc3", 12},  {"1e5", 100000}, {"1.5e", 1.5},   {"1.5e+", 1.5},  {"1.5e+3", 1500},
      {"2e-3", 0.002}, {"  \t-4.25", -4.25}, {"+3", 3},  {".5", 0.5},     {"5.", 5},
      {"1.2.3", 1.2},  {"--3", 0},      {"+-3", 0},      {"abc", 0},      {"", 0},
      {".", 0},        {"e5", 0},       {"0x10", 0},     {"inf", 0},      {"nan", 0},
      {"Group1", 0},   {"1E3", 1000},   {"007", 7},      {"-0", 0},
  };
  for (const ParseCase& c : cases) EXPECT_EQ(ParseReal(c.text), c.expected) << c.text;
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

TEST(ParseReal, OverflowAndUnderflow) {
  EXPECT_EQ(ParseReal("1e400"), kInf);
  EXPECT_EQ(ParseReal("-1e400"), -kInf);
  EXPECT_EQ(ParseReal("123456789e999999999999"), kInf);
  EXPECT_EQ(ParseReal("1e-400"), 0.0);
  EXPECT_EQ(ParseReal("0.000001e-400"), 0.0);
  EXPECT_EQ(ParseReal("0e999"), 0.0);
  EXPECT_EQ(ParseReal("4e-320"), 4e-320);  // subnormal, still representable
}

TEST(ParseInteger, LeadingWholeNumberClamped) {
  EXPECT_EQ(ParseInteger("5.9"), 5);
  EXPECT_EQ(ParseInteger(" -12x"), -12);
  EXPECT_EQ(ParseInteger("+7"), 7);
  EXPECT_EQ(ParseInteger("1e3"), 1);
  EXPECT_EQ(ParseInteger("x"), 0);
  EXPECT_EQ(ParseInteger("99999999999999999999"), 2147483647);
  EXPECT_EQ(ParseInteger("-99999999999999999999"), -2147483647 - 1);
}

TEST(TrimTrailingZeros, FractionZerosOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"12.500000", "12.5"}, {"5.000", "5"},          {"100", "100"},
      {"-0.50", "-0.5"},     {"1.05", "1.05"},        {"1.5e+010", "1.5e+010"},
      {"1.50e+003", "1.50e+003"}, {"0.000000", "0"},  {"5.", "5"},
      {"1000.000100", "1000.0001"}, {"nan", "nan"},   {"-inf", "-inf"},
      {"", ""},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(TrimTrailingZeros(text), expected) << text;
}

}  // namespace
}  // namespace tallo
