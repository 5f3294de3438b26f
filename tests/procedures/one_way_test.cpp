#include "procedures/one_way.h"

#include <gtest/gtest.h>

#include <string>

#include "support/one_table.h"

namespace tallo {
namespace {

using testing_support::ReportOf;

// Groups A {1,2,3}, B {4,5,6}, C {7,8,9}: every variance is 1.
constexpr std::string_view kSteps =
    "\tA\tB\tC\r\n"
    "1\t1\t4\t7\r\n"
    "2\t2\t5\t8\r\n"
    "3\t3\t6\t9\r\n";

TEST(OneWayAnova, ReportWithLeastSignificantDifferences) {
  // By hand: G 45, N 9, sum of squares 285, sum of S^2/n 279, so SS total 60, treatments
  // 54 on 2 df, error 6 on 6 df; F 27 is beyond the 0.5% point of F(2, 6) (R: qf 14.54).
  // Bartlett: equal variances give m 0, c 1 + (3/2 - 1/6) / 6.
  // LSD: (3 S_j - 3 S_i)^2 / (3 3 6) is 13.5 for neighbours (published F(1, 6): 8.81 at
  // 2.5%, 13.75 at 1%) and 54 for A and C (above 18.63 at 0.5%).
  EXPECT_EQ(ReportOf(OneWayAnovaReport, kSteps),
            "--- One Way ANOVA -------\r\n"
            "FACTOR\tA, B, C\r\n"
            "--- Bartlett's Test -----------------------------------------\r\n"
            "m:0.000000\tc:1.222222\tX2cal=0.000000\tn.s\r\n"
            "---ANOVA Table------------------------------------------\r\n"
            "SOURCE\t\tSUM OF SQUARES | DF | MEAN OF SQUARES | F RATIO\r\n"
            "TREATMENTS\t54.000000  2  27.000000  27.000000\r\n"
            "ERROR\t\t6.000000  6  1.000000\r\n"
            "ADJ TOTAL\t60.000000  8\r\n"
            "------------------------------------------------------\r\n"
            "PROBABILITY\tP<0.005\r\n"
            "--- Fisher's Least Significant Difference Test ----\r\n"
            "A\tB\tFcal=13.500000\tP<0.025\r\n"
            "A\tC\tFcal=54.000000\tP<0.005\r\n"
            "B\tC\tFcal=13.500000\tP<0.025\r\n");
}

TEST(OneWayAnova, NoPairsWhenTheGroupsDoNotDiffer) {
  const std::string report = ReportOf(OneWayAnovaReport,
                                      "\tA\tB\r\n"
                                      "1\t1\t2\r\n"
                                      "2\t2\t1\r\n"
                                      "3\t3\t3\r\n");
  EXPECT_TRUE(report.ends_with("PROBABILITY\tn.s\r\n")) << report;
}

TEST(OneWayAnova, UndefinedQuantitiesStillGiveTheWholeReport) {
  // One group: no treatment df, so MS treatments is 0/0 and c divides 0 by 3 (k - 1).
  const std::string one = ReportOf(OneWayAnovaReport, "\tA\r\n1\t1\r\n2\t2\r\n3\t3\r\n");
  EXPECT_NE(one.find("m:0.000000\tc:nan\tX2cal=nan\tn.s\r\n"), std::string::npos) << one;
  EXPECT_NE(one.find("TREATMENTS\t0.000000  0  nan  nan\r\n"), std::string::npos) << one;
  EXPECT_NE(one.find("ERROR\t\t2.000000  2  1.000000\r\n"), std::string::npos) << one;
  EXPECT_TRUE(one.ends_with("PROBABILITY\tn.s\r\n")) << one;

  // A column of remarks is a group without values; an empty table has no groups.
  for (std::string_view table :
       {std::string_view("\tA\tnotes\r\n1\t1\tx\r\n2\t2\ty\r\n"), std::string_view("")}) {
    const std::string report = ReportOf(OneWayAnovaReport, table);
    EXPECT_TRUE(report.starts_with("--- One Way ANOVA -------\r\nFACTOR\t")) << report;
    EXPECT_TRUE(report.ends_with("PROBABILITY\tn.s\r\n")) << report;
  }
}

TEST(KruskalWallis, RanksWithoutTies) {
  // By hand: rank sums 6, 15, 24 of 3 each; 12 / 90 * 279 - 30 is 7.2 on 2 df, between the
  // chi-square points 5.991 and 7.824.
  EXPECT_EQ(ReportOf(KruskalWallisReport, kSteps),
            "--- Kruskal-Wallis Test -------------------------\r\n"
            "FACTOR\tA, B, C\r\n"
            "H=7.200000\tT=0.000000\tDf=2\tP<0.05\r\n");
}

TEST(KruskalWallis, EmptyGroupsAndTotalTies) {
  // The remarks column adds nothing to the rank sums but counts in the df: ranks 1..4,
  // 12 / 20 * (9/2 + 49/2) - 15 is 2.4 on 2 df.
  EXPECT_EQ(ReportOf(KruskalWallisReport, "\tA\tnotes\tB\r\n1\t1\tx\t3\r\n2\t2\t\t4\r\n"),
            "--- Kruskal-Wallis Test -------------------------\r\n"
            "FACTOR\tA, notes, B\r\n"
            "H=2.400000\tT=0.000000\tDf=2\tn.s\r\n");
  // Four equal values: one run of 4 gives T 60 = N^3 - N, so the correction is 0/0.
  const std::string equal = ReportOf(KruskalWallisReport, "\tA\tB\r\n1\t5\t5\r\n2\t5\t5\r\n");
  EXPECT_TRUE(equal.ends_with("H=nan\tT=60.000000\tDf=1\tn.s\r\n")) << equal;
}

TEST(Duncan, PairsInOrderOfTheMeans) {
  // Columns A {7,8,9}, B {1,2,3}, C {4,5,6}: MS error 1 on 6 df, standard error sqrt(1/3).
  // R, the range polynomial at df 6: p 2 gives 3.457639 and 5.234108, so 1.9963 and 3.0219;
  // p 3 gives 3.585562 and 5.426410, so 2.0701 and 3.1329.
  EXPECT_EQ(ReportOf(DuncanReport,
                     "\tA\tB\tC\r\n"
                     "1\t7\t1\t4\r\n"
                     "2\t8\t2\t5\r\n"
                     "3\t9\t3\t6\r\n"),
            "--- Duncan's multiple range test --------------------\r\n"
            "B\tC\td=3.000000\tP<0.05\r\n"
            "B\tA\td=6.000000\tP<0.01\r\n"
            "C\tA\td=3.000000\tP<0.05\r\n");
}

TEST(Duncan, EachPairUsesItsOwnSizes) {
  // high {6.4, 6.6} and low {4,5,6,4,5,6,4,5,6,5}: d 1.5, MS error 6.02 / 10. The standard
  // error of this pair is sqrt(12 / 40) sqrt(0.602); with the p 2 range at df 10 from R
  // (3.149937 and 4.483702) the ranges are 1.3386 and 1.9054. The size of either group
  // taken twice would give 0.7729 and 1.1001, or 1.7282 and 2.4599.
  EXPECT_EQ(ReportOf(DuncanReport,
                     "\thigh\tlow\r\n"
                     "1\t6.4\t4\r\n2\t6.6\t5\r\n3\t\t6\r\n4\t\t4\r\n5\t\t5\r\n"
                     "6\t\t6\r\n7\t\t4\r\n8\t\t5\r\n9\t\t6\r\n10\t\t5\r\n"),
            "--- Duncan's multiple range test --------------------\r\n"
            "low\thigh\td=1.500000\tP<0.05\r\n");
}

TEST(Duncan, NoPairsNoLines) {
  EXPECT_EQ(ReportOf(DuncanReport, "\tA\r\n1\t7\r\n2\t8\r\n"),
            "--- Duncan's multiple range test --------------------\r\n");
  EXPECT_EQ(ReportOf(DuncanReport, ""),
            "--- Duncan's multiple range test --------------------\r\n");
}

}  // namespace
}  // namespace tallo
