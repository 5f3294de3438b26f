#include "procedures/contingency.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace tallo {
namespace {

std::string Report(Procedure procedure, std::string_view table) {
  const std::array<std::string_view, 1> texts = {table};
  return procedure(texts);
}

// A table text as the driver hands it over: a header of labels A, B, ... over rows R1,
// R2, ... of counts, cells separated by TABs and rows by CR LF.
std::string Table(const std::vector<std::vector<double>>& rows) {
  std::string text;
  for (std::size_t j = 0; j < rows.front().size(); ++j) text += "\t" + std::string(1, 'A' + j);
  text += "\r\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    text += "R" + std::to_string(i + 1);
    for (double count : rows[i]) text += "\t" + std::to_string(static_cast<long long>(count));
    text += "\r\n";
  }
  return text;
}

// The last line of a report, without its CR LF.
std::string LastLine(const std::string& report) {
  const std::string body = report.substr(0, report.size() - 2);
  return body.substr(body.rfind("\r\n") + 2);
}

// The first characters of a report, as many as expected holds.
std::string Head(const std::string& report, const std::string& expected) {
  return report.substr(0, expected.size());
}

TEST(TableEcho, CellsAsTextOrAsCountsWithTotals) {
  // Column 0 and the header as text; 12.7 counts as 12.7 and prints by "%0.0f" as 13.
  const char* table = "\tYes\tNo\r\nMen\t12.7\t20\r\nWomen\t30\t40\r\n";
  const std::string as_text =
      "\tYes\tNo\t\r\nMen\t12.7\t20\t33\r\nWomen\t30\t40\t70\r\n\t43\t60\t103\r\n";
  const std::string as_counts =
      "\tYes\tNo\t\r\nMen\t13\t20\t33\r\nWomen\t30\t40\t70\r\n\t43\t60\t103\r\n";
  struct Case {
    Procedure procedure;
    std::string expected;
  };
  const Case cases[] = {
      {ChiSquareTestReport, "---Chi-square test------\r\n" + as_counts},
      {FisherTestReport, "---Fisher's test----\r\n" + as_text},
      {McNemarTestReport, "---McNemar's test----------------------\r\n" + as_counts},
      {OddsRatioReport, "---Odds Ratio----\r\n" + as_text},
      {RelativeRiskReport, "---Relative Risk----\r\n" + as_text},
  };
  for (const Case& c : cases) {
    const std::string report = Report(c.procedure, table);
    EXPECT_EQ(Head(report, c.expected), c.expected);
  }
}

TEST(TableEcho, EveryRowHasTheCellsOfTheLastRow) {
  // The header names three columns, the last row one: one data column. The short row R1
  // echoes an empty cell; empty cells and labels count 0.
  const char* table = "\tA\tB\tC\r\nR1\r\nR2\t5\r\nR3\tx\r\n";
  const std::string text =
      "---Odds Ratio----\r\n\tA\t\r\nR1\t\t0\r\nR2\t5\t5\r\nR3\tx\t0\r\n\t5\t5\r\n";
  EXPECT_EQ(Head(Report(OddsRatioReport, table), text), text);
  const std::string counts =
      "---Chi-square test------\r\n\tA\t\r\nR1\t0\t0\r\nR2\t5\t5\r\nR3\t0\t0\r\n\t5\t5\r\n";
  EXPECT_EQ(Head(Report(ChiSquareTestReport, table), counts), counts);
}

TEST(ChiSquareTest, IndependenceWithoutContinuityCorrection) {
  struct Case {
    std::vector<std::vector<double>> rows;
    const char* line;
  };
  const Case cases[] = {
      // The worked example; R: chisq.test(matrix(c(10,30,20,40),2), correct=FALSE) 0.793651
      {{{10, 20}, {30, 40}}, "n(E<5)=0\tn(E<1)=0\tDf=1\tX2=0.793651\tn.s"},
      // One row tests equal frequencies, df k - 1. R: chisq.test(c(5,10,45)) 47.5.
      {{{5, 10, 45}}, "n(E<5)=0\tn(E<1)=0\tDf=2\tX2=47.500000\tP<0.01"},
  };
  for (const Case& c : cases) {
    const std::string report = Report(ChiSquareTestReport, Table(c.rows));
    EXPECT_EQ(LastLine(report), c.line);
    EXPECT_NE(report.find("\r\n\r\nn(E<5)"), std::string::npos) << "an empty line before it";
  }
}

TEST(ChiSquareTest, LargeTablesHaveNoGridLimit) {
  // 15 x 12 counts 10 + (7i + 3j) mod 11. R: chisq.test(outer(1:15, 1:12, function(i, j)
  // 10 + ((i*7 + j*3) %% 11)), correct=FALSE) gives 118.626147 with df 154; the 10% point
  // is about 177.
  std::vector<std::vector<double>> rows(15, std::vector<double>(12));
  for (int i = 1; i <= 15; ++i) {
    for (int j = 1; j <= 12; ++j) rows[i - 1][j - 1] = 10 + (i * 7 + j * 3) % 11;
  }
  const std::string report = Report(ChiSquareTestReport, Table(rows));
  EXPECT_EQ(LastLine(report), "n(E<5)=0\tn(E<1)=0\tDf=154\tX2=118.626147\tn.s");
  // The last data row ends in its total; the totals line ends in N (R: rowSums, sum).
  EXPECT_NE(report.find("R15\t19\t11\t14\t17\t20\t12\t15\t18\t10\t13\t16\t19\t184\r\n"),
            std::string::npos);
  EXPECT_NE(report.find("\t232\t2707\r\n"), std::string::npos);
}

TEST(ChiSquareTest, SmallExpectationsGiveTheMessage) {
  const std::string message = "Some of expect value is too small.\r\nUnify and input again!\r\n";
  // A single cell expecting 40 * 10 / 450 < 1 is enough, though 10% of the cells is allowed
  // to expect fewer than 5.
  EXPECT_TRUE(Report(ChiSquareTestReport, Table({{100, 100, 100, 100, 10}, {10, 10, 10, 10, 0}}))
                  .ends_with("n(E<5)=1 n(E<1)=1\r\n" + message));
}

TEST(ChiSquareTest, NoDegreeOfFreedomIsNeverSignificant) {
  // One data column: every cell expects what it holds, X2 is 0 with df 0, and a critical
  // value of 0 must not make that "P<0.01".
  EXPECT_EQ(LastLine(Report(ChiSquareTestReport, "\tA\r\nR1\t10\r\nR2\t30\r\n")),
            "n(E<5)=0\tn(E<1)=0\tDf=0\tX2=0.000000\tn.s");
  EXPECT_EQ(LastLine(Report(ChiSquareTestReport, "\tA\r\nR1\t10\r\n")),
            "n(E<5)=0\tn(E<1)=0\tDf=0\tX2=0.000000\tn.s");
  // Nothing but a header: no statistic at all.
  EXPECT_EQ(Report(ChiSquareTestReport, "\tA\tB\r\n"),
            "---Chi-square test------\r\n\tA\tB\t\r\n\t0\t0\t0\r\n"
            "\r\nn(E<5)=0\tn(E<1)=0\tDf=0\tX2=nan\tn.s\r\n");
  // All counts 0: every expectation is 0/0.
  EXPECT_EQ(LastLine(Report(ChiSquareTestReport, Table({{0, 0}, {0, 0}}))),
            "n(E<5)=0\tn(E<1)=0\tDf=1\tX2=nan\tn.s");
  EXPECT_EQ(LastLine(Report(ChiSquareTestReport, "")), "n(E<5)=0\tn(E<1)=0\tDf=0\tX2=nan\tn.s");
}

TEST(FisherTest, DoubledTailFromTheSmallestCell) {
  struct Case {
    std::string table;
    const char* line;
  };
  const Case cases[] = {
      // The worked example: a = 1 is smallest, so the tables a = 1 and a = 0 are summed.
      // R: 2 * phyper(1, 10, 14, 12)
      {Table({{1, 9}, {11, 3}}), "P=0.002759\tP<0.01"},
      // Smallest b: a grows. R: 2 * (1 - phyper(a - 1, a + b, c + d, a + c)).
      {Table({{10, 2}, {3, 9}}), "P=0.012278\tP<0.02"},
      {Table({{9, 1}, {3, 7}}), "P=0.019767\tP<0.02"},
      {Table({{9, 2}, {3, 8}}), "P=0.029973\tP<0.05"},
      {Table({{8, 2}, {3, 7}}), "P=0.069779\tP<0.10"},
      // Tied smallest cells a and b: the first (a, on the diagonal) wins.
      // R: 2 * phyper(2, 4, 15, 14); walking from b would give 1.
      {Table({{2, 2}, {12, 3}}), "P=0.544376\tn.s"},
      // The smallest cell may lie outside the block: 0 at row 1, column 3 sends a upward.
      // R: 2 * (1 - phyper(2, 9, 7, 8)) exceeds 1; from d = 2 it would be 0.314685.
      {Table({{3, 6, 0}, {5, 2, 4}}), "P=1.000000\tn.s"},
      {Table({{3, 6, 9}, {5, 2, 4}}), "P=0.314685\tn.s"},
  };
  for (const Case& c : cases) EXPECT_EQ(LastLine(Report(FisherTestReport, c.table)), c.line);
}

TEST(FisherTest, ExactUpToATotalOf170) {
  // Intermediate products such as 85! 85! 100! 70! are far beyond a double; the terms are
  // not. R: 2 * (1 - phyper(59, 85, 85, 100)) and 2 * phyper(20, 65, 105, 60).
  EXPECT_EQ(LastLine(Report(FisherTestReport, Table({{60, 25}, {40, 45}}))), "P=0.002940\tP<0.01");
  EXPECT_EQ(LastLine(Report(FisherTestReport, Table({{20, 45}, {40, 65}}))), "P=0.421058\tn.s");
  // From 171 on the test is not offered: never a P of 0 labelled significant.
  for (const auto& rows : {std::vector<std::vector<double>>{{60, 25}, {40, 46}},
                           std::vector<std::vector<double>>{{1000, 10}, {10, 1000}}}) {
    EXPECT_EQ(LastLine(Report(FisherTestReport, Table(rows))),
              "P=nan\tN is too large. Use chi-square test.");
  }
}

TEST(FisherTest, DoubledSumOfOneOrMoreIsOne) {
  // R: 2 * phyper(5, 10, 10, 10) = 1.3437
  EXPECT_EQ(LastLine(Report(FisherTestReport, Table({{5, 5}, {5, 5}}))), "P=1.000000\tn.s");
  // An empty table is the one table of its margins.
  EXPECT_EQ(LastLine(Report(FisherTestReport, "")), "P=1.000000\tn.s");
}

TEST(McNemarTest, DiagonalCountsWithContinuityCorrection) {
  // The worked example: E = 6, X2 = (10 - 2 - 1)^2 / 12 = 4.083333, beyond 3.841 at 5%.
  // R: mcnemar.test(matrix(c(0, 2, 10, 0), 2))
  EXPECT_EQ(LastLine(Report(McNemarTestReport, Table({{10, 99}, {99, 2}}))),
            "E=6.000\tDf=1\tX2=4.083333\tP<0.05");
  // Equal counts: the correction is applied as it stands, (0 - 1)^2 / 20.
  EXPECT_EQ(LastLine(Report(McNemarTestReport, Table({{10, 0}, {0, 10}}))),
            "E=10.000\tDf=1\tX2=0.050000\tn.s");
}

TEST(McNemarTest, SmallExpectationGivesTheMessage) {
  EXPECT_TRUE(Report(McNemarTestReport, Table({{5, 50}, {50, 4}}))
                  .ends_with("\r\nExpect value is too small.\r\n"));  // E = 4.5
  EXPECT_TRUE(Report(McNemarTestReport, "").ends_with("Expect value is too small.\r\n"));
}

TEST(RatioMeasures, EstimateWithConfidenceInterval) {
  struct Case {
    Procedure procedure;
    std::vector<std::vector<double>> rows;
    const char* tail;
  };
  // By hand (R): OR = ad/(bc), se = sqrt(1/a + 1/b + 1/c + 1/d); RR = (a/(a+b))/(c/(c+d)),
  // se = sqrt((1 - p1)/a + (1 - p2)/c); limits exp(log(ratio) -+ 1.96 se).
  const Case cases[] = {
      {OddsRatioReport,
       {{10, 20}, {30, 40}},
       "Odds Ratio=0.666667\r\nConfidence Interval(95%) 0.272510 - 1.630927 n.s\r\n"},
      {RelativeRiskReport,
       {{10, 20}, {30, 40}},
       "Relative Risk=0.777778\r\nConfidence Interval(95%) 0.438172 - 1.380595 n.s\r\n"},
      // Reversed, the interval lies below 1.
      {OddsRatioReport,
       {{21, 59}, {688, 650}},
       "Odds Ratio=0.336273\r\nConfidence Interval(95%) 0.202042 - 0.559685 significant\r\n"},
  };
  for (const Case& c : cases) EXPECT_TRUE(Report(c.procedure, Table(c.rows)).ends_with(c.tail));
}

TEST(RatioMeasures, ZeroCellsPrintWhatTheArithmeticGives) {
  // b = 0: OR = inf, se = inf, lower exp(inf - inf) = nan, upper inf.
  EXPECT_TRUE(Report(OddsRatioReport, Table({{10, 0}, {30, 40}}))
                  .ends_with("Odds Ratio=inf\r\nConfidence Interval(95%) nan - inf n.s\r\n"));
  // a = 0: RR = 0, se = inf; lower exp(-inf) = 0, upper exp(-inf + inf) = nan.
  EXPECT_TRUE(Report(RelativeRiskReport, Table({{0, 20}, {30, 40}}))
                  .ends_with("Relative Risk=0.000000\r\nConfidence Interval(95%) 0.000000 - nan "
                             "n.s\r\n"));
}

}  // namespace
}  // namespace tallo
