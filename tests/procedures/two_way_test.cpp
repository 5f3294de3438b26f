#include "procedures/two_way.h"

#include <gtest/gtest.h>

#include <string>

#include "support/one_table.h"

namespace tallo {
namespace {

using testing_support::ReportOf;

std::string LineStartingWith(const std::string& report, std::string_view start) {
  const std::size_t at = report.find(start);
  if (at == std::string::npos) return {};
  return report.substr(at, report.find("\r\n", at) + 2 - at);
}

TEST(TwoWayAnova, Report) {
  // By hand: x = T1 {1,2,3}, T2 {2,4,6}; G 18 over 6 cells, sum of squares 70, column sums
  // 6 and 12, row sums 3, 6, 9. SS total 70 - 54, A 180/3 - 54, B 126/2 - 54, error the
  // rest: 16, 6, 9, 1. F 12 on 1 and 2 df is below the published 18.51; F 9 on 2 and 2 df
  // below the 5% point (R: qf(0.95, 2, 2) 19).
  EXPECT_EQ(ReportOf(TwoWayAnovaReport,
                     "\tT1\tT2\r\n"
                     "r1\t1\t2\r\n"
                     "r2\t2\t4\r\n"
                     "r3\t3\t6\r\n"),
            "--- Two Way ANOVA -------------------------------\r\n"
            "FACTOR A\tT1, T2\r\n"
            "FACTOR B\tr1, r2, r3\r\n"
            "------------------------------------------------------\r\n"
            "FACTOR\tSUM OF SQUARES | DF | MEAN OF SQURES | F RATIO | PROBABILITY\r\n"
            "  A   \t6.000000  1  6.000000  12.000000  n.s\r\n"
            "  B   \t9.000000  2  4.500000  9.000000  n.s\r\n"
            "ERROR \t1.000000  2  0.500000\r\n"
            "TOTAL \t16.000000  5\r\n");
}

TEST(TwoWayAnova, LabelsCarryNoTrailingBlank) {
  // By hand: rows and columns both sum to 6, 11 and 16.5 (G 33.5, sum of squares 165.25),
  // so each factor has SS 429.25/3 - 33.5^2/9 = 18.388889 and the error 3.777778 on 4 df;
  // F 9.735294 on 2 and 4 df lies between the 5% and 2.5% points (R: qf 6.94 and 10.65;
  // R aov agrees on every value).
  const std::string report = ReportOf(TwoWayAnovaReport,
                                      "\tT1\tT2\tT3\r\n"
                                      "r1\t1\t2\t3\r\n"
                                      "r2\t2\t4\t5\r\n"
                                      "r3\t3\t5\t8.5\r\n");
  EXPECT_EQ(LineStartingWith(report, "  A   \t"),
            "  A   \t18.388889  2  9.194444  9.735294  P<0.05\r\n");
  EXPECT_EQ(LineStartingWith(report, "  B   \t"),
            "  B   \t18.388889  2  9.194444  9.735294  P<0.05\r\n");
}

TEST(Friedman, MidRanksWithoutTieCorrection) {
  // By hand: rows ranked across the columns give (1.5, 1.5, 3) and (1, 2, 3), rank sums
  // 2.5, 3.5, 6: S 54.5 - 144/3 = 6.5, X2 12 6.5 / (4 3 2) = 3.25 on 2 df. Columns ranked
  // down the rows give row rank sums 3 and 6: S 45 - 81/2 = 4.5, X2 12 4.5 / (3 2 3) = 3 on
  // 1 df, above the 10% point 2.706.
  EXPECT_EQ(ReportOf(FriedmanReport,
                     "\tc1\tc2\tc3\r\n"
                     "r1\t1\t1\t2\r\n"
                     "r2\t3\t4\t5\r\n"),
            "--- Friedman Test --------------------------------\r\n"
            "FACTOR A\tc1, c2, c3\r\n"
            "FACTOR B\tr1, r2\r\n"
            "---------------------------------------------------\r\n"
            "FACTOR A\tS=6.500000\tX2=3.250000\tDf=2\tn.s\r\n"
            "FACTOR B\tS=4.500000\tX2=3.000000\tDf=1\tP<0.10\r\n");
}

TEST(Friedman, IdenticalRankingsReachTheLargestValue) {
  // Every row ranks the four columns the same way: X2 for the columns is n (a - 1) = 15.
  const std::string report = ReportOf(FriedmanReport,
                                      "\ta\tb\tc\td\r\n"
                                      "1\t1\t5\t7\t9\r\n"
                                      "2\t2\t3\t8\t10\r\n"
                                      "3\t0\t4\t6\t12\r\n"
                                      "4\t1.5\t3.5\t6.5\t11\r\n"
                                      "5\t0.5\t2.5\t5.5\t9.5\r\n");
  EXPECT_EQ(LineStartingWith(report, "FACTOR A\tS"),
            "FACTOR A\tS=125.000000\tX2=15.000000\tDf=3\tP<0.01\r\n");
}

TEST(CochranQ, AlwaysAndNeverColumns) {
  // By hand: column totals 3 and 0, row totals 1, 1, 1: Q for the columns is
  // 1 (2 9 - 9) / (2 3 - 3) = 3 on 1 df (2.706 to 3.841); every row total alike makes Q
  // for the rows 0/0.
  EXPECT_EQ(ReportOf(CochranQReport,
                     "\talways\tnever\r\n"
                     "p1\t1\t0\r\n"
                     "p2\t1\t0\r\n"
                     "p3\t1\t0\r\n"),
            "--- Cochran's Q Test ------------------------\r\n"
            "FACTOR A\talways\tnever\t\r\n"
            "FACTOR B\tp1\tp2\tp3\t\r\n"
            "---------------------------------------------\r\n"
            "Factor A\tQ=3.000000\tDf=1\tP<0.10\r\n"
            "Factor B\tQ=nan\tDf=2\tn.s\r\n");
}

TEST(CochranQ, ConstantRowsDoNotChangeTheColumnStatistic) {
  // Q for the columns of the eight patients is 7.6 by hand; a patient cured by every
  // treatment, or by none, adds as much to a T as to the sum of squared row totals.
  constexpr std::string_view kCured =
      "\tA\tB\tC\r\n1\t1\t1\t0\r\n2\t1\t1\t1\r\n3\t0\t1\t0\r\n4\t1\t1\t0\r\n"
      "5\t0\t0\t0\r\n6\t1\t1\t1\r\n7\t1\t1\t0\r\n8\t0\t1\t0\r\n";
  for (std::string_view extra : {"", "9\t1\t1\t1\r\n", "9\t0\t0\t0\r\n"}) {
    const std::string table = std::string(kCured) + std::string(extra);
    EXPECT_EQ(LineStartingWith(ReportOf(CochranQReport, table), "Factor A"),
              "Factor A\tQ=7.600000\tDf=2\tP<0.05\r\n")
        << extra;
  }
}

TEST(TwoWayDesigns, ColumnsOfDifferentLengthsHaveNoResult) {
  constexpr std::string_view kUneven = "\tx\ty\r\nr1\t1\t2\r\nr2\t3\t\r\nr3\t5\t6\r\n";
  EXPECT_EQ(ReportOf(TwoWayAnovaReport, kUneven),
            "--- Two Way ANOVA -------------------------------\r\n"
            "Every column must hold the same number of values.\r\n");
  EXPECT_EQ(ReportOf(FriedmanReport, kUneven),
            "--- Friedman Test --------------------------------\r\n"
            "Every column must hold the same number of values.\r\n");
  EXPECT_EQ(ReportOf(CochranQReport, kUneven),
            "--- Cochran's Q Test ------------------------\r\n"
            "Every column must hold the same number of values.\r\n");
}

TEST(TwoWayDesigns, EmptyTableWritesUndefinedValues) {
  for (Procedure procedure : {TwoWayAnovaReport, FriedmanReport, CochranQReport}) {
    const std::string report = ReportOf(procedure, "");
    EXPECT_NE(report.find("FACTOR A\t\r\nFACTOR B\t\r\n"), std::string::npos) << report;
    EXPECT_EQ(report.find("P<"), std::string::npos) << report;
  }
}

}  // namespace
}  // namespace tallo
