// Every statement of the registry against every kind of bad data set, in every argument:
// each still writes its report, never "-nan", and leaves the rest of the worksheet as it
// was. The sanitizer build runs this too, so a read outside a short array fails here.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/calculate.h"
#include "procedures/registry.h"

namespace tallo {
namespace {

struct BadData {
  const char* kind;
  const char* text;  // between the braces
};

const BadData kBadData[] = {
    {"no numeric value", "x"},
    {"a blank", " "},
    {"one value", "5"},
    {"two values", "1,2"},
    {"all values equal", "3,3,3,3,3"},
    {"huge values", "1e300,2e300,3e300,-1e300"},
    {"tiny values", "1e-300,2e-300,3e-300,-1e-300"},
    {"overflowing values", "1e999,2,3"},
    {"negative and zero values", "-1,0,-2,0,-3"},
    {"header-only table", "\tA\tB\r\n"},
    {"ragged table", "\tA\tB\tC\r\nr1\t1\r\nr2\t1\t2\r\nr3\t1\t2\t3\t4\r\n"},
    {"text in data cells", "\tA\tB\r\nr1\tx\ty\r\nr2\t1\tz\r\nr3\t\t\r\n"},
    {"one-row table", "\tA\tB\tC\r\nr1\t1\t2\t3\r\n"},
    {"one-column table", "\tA\r\nr1\t1\r\nr2\t2\r\nr3\t3\r\n"},
    {"zero table", "\tA\tB\r\nr1\t0\t0\r\nr2\t0\t0\r\n"},
    {"many labels", "\tA\tB\tC\tD\tE\tF\tG\tH\tI\tJ\r\nr1\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\r\n"},
    {"a lone label", "only a label"},
    {"a row of empty cells", "\tx\ty\tz\r\na\t1\t2\r\nb\t2\t1\t3\r\nc\t5\t4\t4\r\nd\t\t\t\r\n"},
    {"a last row without line end", "\tx\ty\r\nr\t1\t2"},
};

// A worksheet with the statement between two lines that must come through unchanged: the
// bad data set is a and b, beside a good table c of three columns; arguments names them.
std::string Worksheet(const Statement& statement, const BadData& data, const char* d_text,
                      const char* arguments) {
  return "before 2*3=\r\na={" + std::string(data.text) + "}\r\nb={" + data.text +
         "}\r\nc={\tp\tq\tr\r\n1\t1\t2\t3\r\n2\t2\t1\t5\r\n3\t4\t4\t4\r\n}\r\nd={" + d_text +
         "}\r\n" + std::string(statement.name) + "(" + arguments + ")=\r\nafter 1+1=\r\n";
}

void ExpectReportWritten(const Statement& statement, const BadData& data, const char* d_text,
                         const char* arguments) {
  const std::string input = Worksheet(statement, data, d_text, arguments);
  const Calculation calculation = CalculateWorksheet(input);
  const std::string context = std::string(statement.name) + "(" + arguments + ") with " + data.kind;
  ASSERT_EQ(calculation.insertions.size(), 3u) << context;
  EXPECT_EQ(calculation.insertions.front().text, "6") << context;
  EXPECT_EQ(calculation.insertions.back().text, "2") << context;
  const std::string_view report = calculation.insertions[1].text;
  EXPECT_EQ(input.substr(calculation.insertions[1].offset - 1, 3), "=\r\n") << context;
  EXPECT_EQ(report.find("-nan"), std::string::npos) << context << "\n" << report;
  EXPECT_EQ(report.find('\0'), std::string::npos) << context;
}

// The bad data set in every argument at once, and alone beside good ones.
const std::vector<const char*> kArguments[] = {
    {}, {"a"}, {"a,b", "c,a", "a,c"}, {"a,b,d", "c,c,a", "a,c,d"}};

TEST(DegenerateData, EveryStatementWritesItsReport) {
  for (const Statement& statement : Statements()) {
    for (const BadData& data : kBadData) {
      for (const char* arguments : kArguments[statement.arguments]) {
        ExpectReportWritten(statement, data, "2", arguments);
      }
    }
  }
}

TEST(DegenerateData, ThirdArgumentThatIsNotANumber) {
  for (const Statement& statement : Statements()) {
    if (statement.arguments != 3) continue;
    for (const BadData& data : kBadData) {
      ExpectReportWritten(statement, data, "x", "a,b,d");
      ExpectReportWritten(statement, data, "-5", "a,b,d");
    }
  }
}

}  // namespace
}  // namespace tallo
