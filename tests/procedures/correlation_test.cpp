#include "procedures/correlation.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace tallo {
namespace {

std::string Report(Procedure procedure, std::string_view x, std::string_view y) {
  const std::array<std::string_view, 2> texts = {x, y};
  return procedure(texts);
}

std::string Report(Procedure procedure, std::string_view table) {
  const std::array<std::string_view, 1> texts = {table};
  return procedure(texts);
}

// The report after its title line.
std::string Body(const std::string& report) { return report.substr(report.find("\r\n") + 2); }

// R: x <- 1:8; y <- c(3.1, 4.8, 7.2, 9.1, 10.9, 13.2, 14.8, 17.1)
constexpr const char* kNearLineX = "1,2,3,4,5,6,7,8";
constexpr const char* kNearLineY = "3.1,4.8,7.2,9.1,10.9,13.2,14.8,17.1";
// Ties in both: R: a <- c(3,1,4,1,5,9,2,6,5,3,5); b <- c(2,7,1,8,2,8,1,8,2,8,4)
constexpr const char* kTiedA = "3,1,4,1,5,9,2,6,5,3,5";
constexpr const char* kTiedB = "2,7,1,8,2,8,1,8,2,8,4";

TEST(PearsonReport, CorrelationAndRegressionLine) {
  // R: cor(x, y) 0.999419; coef(lm(y ~ x)) 1.035714 and 1.997619; F 5163 beyond 8.81.
  EXPECT_EQ(Report(PearsonReport, kNearLineX, kNearLineY),
            "---Pearson's Correlation------\r\nn=8\tr=0.999419\tP<0.01\r\n"
            "Y=(1.997619)X+(1.035714)\t( * )\r\n");
  // R: cor -0.045723 (below 0.729 at df 4); lm 2.266667 and -0.028571; F 0.0084.
  EXPECT_EQ(Report(PearsonReport, "1,2,3,4,5,6", "2,1,4,3,1,2"),
            "---Pearson's Correlation------\r\nn=6\tr=-0.045723\tn.s\r\n"
            "Y=(-0.028571)X+(2.266667)\t \r\n");
  // Items pair by position: the gap drops the pair (4, x).
  EXPECT_TRUE(Report(PearsonReport, "1,2,3,4,5,6,7,8,9", "3.1,4.8,7.2,9.1,10.9,13.2,14.8,17.1,x")
                  .starts_with("---Pearson's Correlation------\r\nn=8\tr=0.999419\tP<0.01\r\n"));
}

TEST(PearsonReport, TooFewPairsReadNoCriticalValue) {
  // Two pairs lie on their line (slope 2, intercept 1 by hand); df 0 has no critical r or F.
  EXPECT_EQ(Report(PearsonReport, "1,2", "3,5"),
            "---Pearson's Correlation------\r\nn=2\tr=1.000000\tn.s\r\n"
            "Y=(2.000000)X+(1.000000)\t \r\n");
  for (const char* x : {"5", "", "x"}) {
    EXPECT_EQ(Body(Report(PearsonReport, x, "7")),
              (std::string(x) == "5" ? "n=1" : "n=0") +
                  std::string("\tr=nan\tn.s\r\nY=(nan)X+(nan)\t \r\n"));
  }
  // A constant y: r is 0/0, the line is flat.
  EXPECT_EQ(Body(Report(PearsonReport, "1,2,3,4", "5,5,5,5")),
            "n=4\tr=nan\tn.s\r\nY=(0.000000)X+(5.000000)\t \r\n");
}

TEST(SpearmanReport, MidRanksWithTieCorrection) {
  // R: cor(a, b, method="spearman") 0.138457: t = 0.42 with df 9.
  EXPECT_EQ(Report(SpearmanReport, kTiedA, kTiedB),
            "--- Spearman's Correlation ------\r\nn=11\trs=0.138457\tn.s\r\n");
  // R: cor(x, y, method="spearman") 1 for the near line; t is set to 100.
  EXPECT_EQ(Body(Report(SpearmanReport, kNearLineX, kNearLineY)), "n=8\trs=1.000000\tP<0.01\r\n");
  // Ties in one variable only. R: cor(c(1,2,2,3,4,5,6), c(2,1,4,3,6,5,7), method="spearman")
  // 0.846881, t = 3.56 beyond 3.365 (df 5, 2%) and short of 4.032 (1%).
  EXPECT_EQ(Body(Report(SpearmanReport, "1,2,2,3,4,5,6", "2,1,4,3,6,5,7")),
            "n=7\trs=0.846881\tP<0.02\r\n");
}

TEST(SpearmanReport, LevelsTestedDependOnN) {
  struct Case {
    const char* x;
    const char* y;
    const char* line;
  };
  const Case cases[] = {
      {"1,2,3,4,5,6", "6,5,4,3,2,1", "n=6\trs=-1.000000\tP<0.01"},
      {"1,2,3,4,5", "2,4,6,8,10", "n=5\trs=1.000000\tP<0.02"},  // not P<0.01
      {"1,2,3,4", "10,20,30,40", "n=4\trs=1.000000\tP<0.10"},   // at most P<0.10
      {"1,2,3", "1,2,3", "n=3\trs=1.000000\tn.s"},
      {"1,2", "2,1", "n=2\trs=-1.000000\tn.s"},
      {"1", "1", "n=1\trs=nan\tn.s"},
      {"", "", "n=0\trs=nan\tn.s"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Body(Report(SpearmanReport, c.x, c.y)), std::string(c.line) + "\r\n") << c.x;
  }
}

TEST(KendallReport, TauBWithNormalTest) {
  // R: cor(a, b, method="kendall") 0.147573; S = 7, Z = 7 / sqrt(27 * 110 / 18) = 0.545.
  EXPECT_EQ(Report(KendallReport, kTiedA, kTiedB),
            "---Kendall's Correlation ------\r\nn=11\ttau=0.147573\tn.s\r\n");
  // All concordant: S = n(n - 1)/2. n = 5: Z = 10 / sqrt(15 * 20 / 18) = 2.449, between
  // 2.32635 and 2.57583; n = 6: Z = 15 / sqrt(17 * 30 / 18) = 2.818.
  EXPECT_EQ(Body(Report(KendallReport, "1,2,3,4,5", "2,4,6,8,10")),
            "n=5\ttau=1.000000\tP<0.02\r\n");
  EXPECT_EQ(Body(Report(KendallReport, "1,2,3,4,5,6", "6,5,4,3,2,1")),
            "n=6\ttau=-1.000000\tP<0.01\r\n");
  // n = 4 all concordant: Z = 6 / sqrt(13 * 12 / 18) = 2.038, beyond 1.95996.
  EXPECT_EQ(Body(Report(KendallReport, "1,2,3,4", "1,2,3,4")), "n=4\ttau=1.000000\tP<0.05\r\n");
  EXPECT_EQ(Body(Report(KendallReport, "1", "2")), "n=1\ttau=nan\tn.s\r\n");
  EXPECT_EQ(Body(Report(KendallReport, "", "")), "n=0\ttau=nan\tn.s\r\n");
}

TEST(KendallPairs, AgreeWithTheDefinition) {
  // S over every pair i < j: +1 when both variables rise, -1 when one falls; ties count 0.
  std::mt19937 random(11);
  for (int trial = 0; trial < 300; ++trial) {
    const int n = std::uniform_int_distribution<int>(0, 40)(random);
    std::uniform_int_distribution<int> value(0, trial % 2 == 0 ? 4 : 50);
    std::vector<double> x(n);
    std::vector<double> y(n);
    for (int i = 0; i < n; ++i) {
      x[i] = value(random);
      y[i] = value(random);
    }
    long long score = 0;
    long long x_ties = 0;
    long long y_ties = 0;
    for (int i = 0; i < n; ++i) {
      for (int j = i + 1; j < n; ++j) {
        score += ((x[i] < x[j]) - (x[j] < x[i])) * ((y[i] < y[j]) - (y[j] < y[i]));
        x_ties += x[i] == x[j];
        y_ties += y[i] == y[j];
      }
    }
    const KendallCounts counts = CountKendallPairs(x, y);
    ASSERT_EQ(counts.score, score) << "trial " << trial;
    ASSERT_EQ(counts.x_tied_pairs, x_ties);
    ASSERT_EQ(counts.y_tied_pairs, y_ties);
  }
}

TEST(CorrelationDifferenceReport, FisherZTest) {
  // By hand (R): abs(atanh(0.62) - atanh(0.35)) / sqrt(1/22 + 1/27) = 1.251896.
  EXPECT_EQ(Report(CorrelationDifferenceReport, "\tn\tr\r\nA\t25\t0.62\r\nB\t30\t0.35\r\n"),
            "---Test of difference between Pearson's R ----\r\n"
            "\tn\tr\t\r\nA\t25\t0.62\t\r\nB\t30\t0.35\t\r\nZ=1.251896\tn.s\r\n");
  // R: abs(atanh(0.71) - atanh(0.48)) / sqrt(1/117 + 1/147) = 2.939606.
  EXPECT_TRUE(Report(CorrelationDifferenceReport, "\tn\tr\r\nA\t120\t0.71\r\nB\t150\t0.48")
                  .ends_with("B\t150\t0.48\t\r\nZ=2.939606\tP<0.01\r\n"));
  // Equal r: Z = 0; commas separate cells as TABs do.
  EXPECT_TRUE(Report(CorrelationDifferenceReport, ",n,r\r\nA,40,0.5\r\nB,60,0.5\r\n")
                  .ends_with("\tn\tr\t\r\nA\t40\t0.5\t\r\nB\t60\t0.5\t\r\nZ=0.000000\tn.s\r\n"));
}

TEST(CorrelationDifferenceReport, ThreePairsOrFewerHaveNoTest) {
  // The variance of z is 1/(n - 3): n = 3 would give Z = 0, n = 2 with n = 3.5 a real-looking
  // Z; neither is a test.
  for (const char* table :
       {"\tn\tr\r\nA\t3\t0.9\r\nB\t30\t0.1\r\n", "\tn\tr\r\nA\t2\t0.9\r\nB\t3.5\t0.1\r\n", ""}) {
    EXPECT_TRUE(Report(CorrelationDifferenceReport, table).ends_with("Z=nan\tn.s\r\n")) << table;
  }
}

}  // namespace
}  // namespace tallo
