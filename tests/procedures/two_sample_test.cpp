#include "procedures/two_sample.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

namespace tallo {
namespace {

std::string Report(Procedure procedure, std::string_view a, std::string_view b = {}) {
  const std::array<std::string_view, 2> texts = {a, b};
  return procedure(texts);
}

const std::string kT = "---T-test Student,Welch-------\r\n";
const std::string kPaired = "--- Pair T-Test -------\r\n";
const std::string kMannWhitney = "--- Mann-Whitney's U-Test ----\r\n";
const std::string kWilcoxon = "--- Wilcoxon's Test -----\r\n";
const std::string kSign = "---Sign Test--------\r\n";

TEST(TTest, WelchOnlyWhenTheVarianceRatioExceedsTheFPoint) {
  // b has variance 12/6 = 2; a = {0, x} has variance x^2/2, chosen so that the ratio is
  // exactly the double 8.81, the F point for (1, 6) df. R: var.equal TRUE gives t 1.799647
  // with df 7; Welch gives t 0.984169 with df 1.065726.
  const char* b = "-2,-2,1,1,1,1,0";
  EXPECT_EQ(Report(TTestReport, "0,5.936328831862332", b), kT + "Df=7\tTs=1.799647\tn.s\r\n");
  // One step of the last digit up, the ratio is 8.8100000000000041 (R): Welch.
  EXPECT_EQ(Report(TTestReport, "0,5.936328831862333", b), kT + "Df=1\tTw=0.984169\tn.s\r\n");
  EXPECT_EQ(Report(TTestReport, b, "0,5.936328831862333"), kT + "Df=1\tTw=0.984169\tn.s\r\n");
}

TEST(TTest, TooFewValuesStillWriteTheReport) {
  // One value has no variance: Welch with undefined t and df.
  EXPECT_EQ(Report(TTestReport, "5", "1,2,3"), kT + "Df=0\tTw=nan\tn.s\r\n");
  EXPECT_EQ(Report(TTestReport, "x", "y"), kT + "Df=0\tTw=nan\tn.s\r\n");
  // Two constant samples: a variance ratio of 0/0, t = 2/0.
  EXPECT_EQ(Report(TTestReport, "4,4,4", "6,6,6"), kT + "Df=0\tTw=inf\tn.s\r\n");
}

TEST(WelchDegreesOfFreedom, SixDecimalsReadBackAsAWholeNumber) {
  // By hand: c = 1/3, df = 1 / ((1/9)/5 + (4/9)/5) = 9; the doubles give 8.999999999999998.
  EXPECT_EQ(WelchDegreesOfFreedom(0.1, 6, 0.2, 6), 9);
  // By hand: c = 1/14, df = 1 / (1/196 + (169/196)/13) = 14; the doubles give 13.999999999999998.
  EXPECT_EQ(WelchDegreesOfFreedom(0.1, 2, 9.1, 14), 14);
  // R: t.test(sprayA, sprayC) df 14.739012 (variances 4657/207 and 3.901515).
  EXPECT_EQ(WelchDegreesOfFreedom(22.272727272727273, 12, 3.9015151515151514, 12), 14);
  EXPECT_EQ(WelchDegreesOfFreedom(1, 1, 2, 5), 0);  // a single value leaves df undefined
}

TEST(PairedTTest, UndefinedAndInfiniteT) {
  // By hand: differences 2, 2, 2 have no spread, so t = 2 sqrt(3/0).
  EXPECT_EQ(Report(PairedTTestReport, "3,4,5", "1,2,3"), kPaired + "n=3\tTo=inf\tP<0.01\r\n");
  EXPECT_EQ(Report(PairedTTestReport, "3", "1"), kPaired + "n=1\tTo=nan\tn.s\r\n");
  EXPECT_EQ(Report(PairedTTestReport, "x", "1"), kPaired + "n=0\tTo=nan\tn.s\r\n");
}

TEST(MannWhitney, TiedValuesShareTheirMeanRank) {
  // By hand: 1 2 2 3 5 rank 1 2.5 2.5 4 5; b = {2, 5} holds 2.5 + 5.
  EXPECT_EQ(Report(MannWhitneyReport, "1,2,3", "2,5"),
            kMannWhitney + "n/m=2/3 \tTa=7.50000\tn.s\r\n");
  // Equal sizes take the first sample: 4 4 and 1 2 rank 3.5 3.5 and 1 2.
  EXPECT_EQ(Report(MannWhitneyReport, "4,4", "1,2"),
            kMannWhitney + "n/m=2/2 \tTa=7.00000\tn.s\r\n");
}

TEST(Wilcoxon, ZeroDifferencesAreDroppedBeforeRanking) {
  // By hand: differences 0, 1, -2, 3, 0, -1; non-zero magnitudes 1 2 3 1 rank 1.5 3 4 1.5;
  // positive 1.5 + 4, negative 3 + 1.5, so Ta = 4.5 over n = 4.
  EXPECT_EQ(Report(WilcoxonReport, "5,6,3,9,2,4", "5,5,5,6,2,5"),
            kWilcoxon + "n=4\tTa=4.500000\tN is too small.\r\n");
  EXPECT_EQ(Report(WilcoxonReport, "1,1", "1,1"),
            kWilcoxon + "n=0\tTa=0.000000\tN is too small.\r\n");
}

TEST(Wilcoxon, FiveDifferencesReachTenPercentAtMost) {
  // All of the same sign: Ta = 0, at the 10% point 0 for n = 5; the 5% point is -1.
  EXPECT_EQ(Report(WilcoxonReport, "2,3,4,5,6", "1,1,1,1,1"),
            kWilcoxon + "n=5\tTa=0.000000\tP<0.10\r\n");
  EXPECT_EQ(Report(WilcoxonReport, "2,3,4,5", "1,1,1,1"),
            kWilcoxon + "n=4\tTa=0.000000\tN is too small.\r\n");
}

TEST(SignTest, ReadsTheFirstTwoItemsInEitherOrder) {
  // R: binom.test(2, 15) p 0.007385.
  const std::string tasters = kSign + "Total n=15, r=13, n-r=2\r\nP=0.007385\tSignificant\r\n";
  for (const char* text : {"2,15", "15,2", "\r\n15\r\n2\r\n", "2\t15", " 2 , 15 ", "2,15,99"}) {
    EXPECT_EQ(Report(SignTestReport, text), tasters) << text;
  }
  // A missing second number reads 0: 12 of 12, p = 2/4096 (R: binom.test(0, 12) 0.000488).
  EXPECT_EQ(Report(SignTestReport, "12"),
            kSign + "Total n=12, r=12, n-r=0\r\nP=0.000488\tSignificant\r\n");
}

TEST(SignTest, ExactUpToThirtyThenNormal) {
  // Odd total, r just above half: twice the tail is exactly 1 (by hand), written as such.
  EXPECT_EQ(Report(SignTestReport, "8,15"),
            kSign + "Total n=15, r=8, n-r=7\r\nP=1.000000\tn.s\r\n");
  // R: binom.test(3, 30) p 0.000008; by hand, Z = (19.5 - 15.5) / (sqrt(31) / 2) = 1.436842.
  EXPECT_EQ(Report(SignTestReport, "3,30"),
            kSign + "Total n=30, r=27, n-r=3\r\nP=0.000008\tSignificant\r\n");
  EXPECT_EQ(Report(SignTestReport, "20,31"),
            kSign + "Total n=31, r=20, n-r=11\r\nZ=1.436842\tn.s\r\n");
}

TEST(SignTest, NumbersThatAreNotCountsGiveNoProbability) {
  EXPECT_EQ(Report(SignTestReport, "-5,3"), kSign + "Total n=3, r=8, n-r=-5\r\nP=nan\tn.s\r\n");
  EXPECT_EQ(Report(SignTestReport, "2.5,7"), kSign + "Total n=7, r=4, n-r=2\r\nP=nan\tn.s\r\n");
  EXPECT_EQ(Report(SignTestReport, "3,1e999"),
            kSign + "Total n=inf, r=inf, n-r=nan\r\nZ=nan\tn.s\r\n");
}

}  // namespace
}  // namespace tallo
