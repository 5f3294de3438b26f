#include "numeric/critical_values.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tallo {
namespace {

// The published sample entries of each table, at df 1, 2, 10 and the last row.
TEST(TCritical, PublishedTable) {
  struct Row { int level; double df1, df2, df10, df30; };
  const Row rows[] = {{1, 63.657, 9.925, 3.169, 2.750},
                      {2, 31.821, 6.965, 2.764, 2.457},
                      {5, 12.706, 4.303, 2.228, 2.042},
                      {10, 6.314, 2.920, 1.812, 1.697}};
  for (const Row& r : rows) {
    EXPECT_EQ(TCritical(1, r.level), r.df1);
    EXPECT_EQ(TCritical(2, r.level), r.df2);
    EXPECT_EQ(TCritical(10, r.level), r.df10);
    EXPECT_EQ(TCritical(30, r.level), r.df30);
  }
  EXPECT_EQ(TCritical(17, 5), 2.110);  // R: qt(0.975, 17) = 2.1098
}

TEST(TCritical, BeyondTheTable) {
  EXPECT_DOUBLE_EQ(TCritical(31, 5), 2.46 / 31 + 1.96);  // 2.0393548...
  EXPECT_NEAR(TCritical(1000, 1), 2.58122, 1e-12);
  EXPECT_DOUBLE_EQ(TCritical(40, 10), 1.56 / 40 + 1.645);
  EXPECT_DOUBLE_EQ(TCritical(40, 2), 3.93 / 40 + 2.326);
}

TEST(ChiSquareCritical, PublishedTable) {
  struct Row { int level; double df1, df2, df10, df20; };
  const Row rows[] = {{1, 6.635, 9.210, 23.209, 37.566},
                      {2, 5.412, 7.824, 21.161, 35.020},
                      {5, 3.841, 5.991, 18.307, 31.410},
                      {10, 2.706, 4.605, 15.987, 28.412}};
  for (const Row& r : rows) {
    EXPECT_EQ(ChiSquareCritical(1, r.level), r.df1);
    EXPECT_EQ(ChiSquareCritical(2, r.level), r.df2);
    EXPECT_EQ(ChiSquareCritical(10, r.level), r.df10);
    EXPECT_EQ(ChiSquareCritical(20, r.level), r.df20);
  }
  EXPECT_EQ(ChiSquareCritical(0, 5), 0);
  EXPECT_EQ(ChiSquareCritical(7, 1), 18.475);  // R: qchisq(0.99, 7) = 18.4753
}

TEST(ChiSquareCritical, WilsonHilfertyBeyondTheTable) {
  // By hand: h = 2/189; 21 (1 - h + z sqrt(h))^3 with z = 1.64485, plus 0.03.
  const double h = 2.0 / 189;
  EXPECT_DOUBLE_EQ(ChiSquareCritical(21, 5), 21 * std::pow(1 - h + 1.64485 * std::sqrt(h), 3) + 0.03);
  EXPECT_DOUBLE_EQ(ChiSquareCritical(21, 1), 21 * std::pow(1 - h + 2.32635 * std::sqrt(h), 3) - 0.03);
  // Close to the exact quantiles: R qchisq(0.95, 21) = 32.671, qchisq(0.99, 50) = 76.154.
  EXPECT_NEAR(ChiSquareCritical(21, 5), 32.671, 0.05);
  EXPECT_NEAR(ChiSquareCritical(50, 1), 76.154, 0.05);
}

TEST(FCritical, TableForOneNumeratorDegree) {
  EXPECT_EQ(FCritical(1, 9, 10), 5.12);
  EXPECT_EQ(FCritical(1, 1, 1), 16211);
  EXPECT_EQ(FCritical(1, 4, 2), 21.2);
  EXPECT_EQ(FCritical(1, 5, 5), 10.01);
}

TEST(FCritical, PaulsonApproximation) {
  // Close to R: qf(0.95, 1, 10) = 4.965, qf(0.975, 2, 5) = 8.434, qf(0.995, 4, 20) = 5.174.
  EXPECT_NEAR(FCritical(1, 10, 10), 4.965, 0.1);
  EXPECT_NEAR(FCritical(2, 5, 5), 8.434, 0.3);
  EXPECT_NEAR(FCritical(4, 20, 1), 5.174, 0.1);
  // df2 = 1 at level 1: the denominator (1 - b)^2 - z^2 b = 0.605 - 1.474 is negative,
  // so the cube is too.
  EXPECT_EQ(FCritical(2, 1, 1), 6366);
}

TEST(RCritical, PublishedTable) {
  // R: t <- qt(1 - p/2, df); t / sqrt(df + t^2), rounded as published.
  struct Row { int level; double df1, df2, df3, df10, df20; };
  const Row rows[] = {{1, 0.999877, 0.99, 0.9587, 0.708, 0.537},
                      {2, 0.999507, 0.98, 0.9343, 0.658, 0.492},
                      {5, 0.99692, 0.95, 0.878, 0.576, 0.423},
                      {10, 0.9877, 0.9, 0.805, 0.497, 0.36}};
  for (const Row& r : rows) {
    EXPECT_EQ(RCritical(1, r.level), r.df1);
    EXPECT_EQ(RCritical(2, r.level), r.df2);
    EXPECT_EQ(RCritical(3, r.level), r.df3);
    EXPECT_EQ(RCritical(10, r.level), r.df10);
    EXPECT_EQ(RCritical(20, r.level), r.df20);
  }
  EXPECT_EQ(RCritical(13, 1), 0.641);  // R: 0.6411
  EXPECT_EQ(RCritical(16, 10), 0.4);   // R: 0.4000
}

TEST(RCritical, BeyondTheTable) {
  EXPECT_DOUBLE_EQ(RCritical(21, 5), 1.96 / std::sqrt(22.0));
  EXPECT_DOUBLE_EQ(RCritical(21, 1), 2.576 / std::sqrt(24.0));
  EXPECT_DOUBLE_EQ(RCritical(21, 2), 2.326 / std::sqrt(23.0));
  EXPECT_DOUBLE_EQ(RCritical(48, 10), 1.645 / std::sqrt(49.0));
  // Close to the exact value, R: t / sqrt(df + t^2) at df 21, 5%: 0.4132.
  EXPECT_NEAR(RCritical(21, 5), 0.4132, 0.005);
}

TEST(NormalCritical, TwoSidedPointsToFiveDecimals) {
  // R: qnorm(1 - c(0.05, 0.025, 0.01, 0.005)) = 1.644854 1.959964 2.326348 2.575829.
  EXPECT_EQ(NormalCritical(10), 1.64485);
  EXPECT_EQ(NormalCritical(5), 1.95996);
  EXPECT_EQ(NormalCritical(2), 2.32635);
  EXPECT_EQ(NormalCritical(1), 2.57583);
  EXPECT_TRUE(std::isnan(NormalCritical(3)));
  EXPECT_EQ(LevelColumn(1), 0);
  EXPECT_EQ(LevelColumn(10), 3);
  EXPECT_EQ(LevelColumn(20), -1);
}

TEST(CriticalValues, UndefinedArgumentsReachNothing) {
  // Fewer than three pairs: no row of the r table is read.
  EXPECT_TRUE(std::isnan(RCritical(0, 5)));
  EXPECT_TRUE(std::isnan(RCritical(-2, 1)));
  EXPECT_TRUE(std::isnan(RCritical(10, 3)));
  EXPECT_TRUE(std::isnan(NormalCritical(3)));
  EXPECT_TRUE(std::isnan(TCritical(0, 5)));
  EXPECT_TRUE(std::isnan(TCritical(10, 3)));
  EXPECT_TRUE(std::isnan(ChiSquareCritical(-1, 5)));
  EXPECT_TRUE(std::isnan(FCritical(0, 5, 5)));
  EXPECT_TRUE(std::isnan(FCritical(1, 0, 5)));
  EXPECT_EQ(LabelByCriticalValue(1e9, [](int level) { return TCritical(0, level); }, kTwoSidedLabels),
            "n.s");
}

TEST(LabelByCriticalValue, StrictestLevelReached) {
  const auto t10 = [](int level) { return TCritical(10, level); };
  EXPECT_EQ(LabelByCriticalValue(1.0, t10, kTwoSidedLabels), "n.s");
  EXPECT_EQ(LabelByCriticalValue(1.812, t10, kTwoSidedLabels), "P<0.10");  // exactly reached
  EXPECT_EQ(LabelByCriticalValue(2.5, t10, kTwoSidedLabels), "P<0.05");
  EXPECT_EQ(LabelByCriticalValue(2.764, t10, kTwoSidedLabels), "P<0.02");
  EXPECT_EQ(LabelByCriticalValue(3.5, t10, kTwoSidedLabels), "P<0.01");
  EXPECT_EQ(LabelByCriticalValue(std::nan(""), t10, kTwoSidedLabels), "n.s");
  const SignificanceLabels f_labels = {"n.s", {"P<0.05 ", "P<0.025", "P<0.01 ", "P<0.005"}};
  EXPECT_EQ(LabelByCriticalValue(6.0, [](int level) { return FCritical(1, 9, level); }, f_labels),
            "P<0.05 ");
}

TEST(LabelSignificance, AnyTestOfALevel) {
  // A lower-tail statistic: reached when at or below the level's bound.
  const auto at_most = [](double statistic) {
    return [statistic](int level) { return statistic <= (level == 10 ? 8 : level == 5 ? 5 : 3); };
  };
  EXPECT_EQ(LabelSignificance(at_most(9), kTwoSidedLabels), "n.s");
  EXPECT_EQ(LabelSignificance(at_most(8), kTwoSidedLabels), "P<0.10");
  EXPECT_EQ(LabelSignificance(at_most(4), kTwoSidedLabels), "P<0.05");
  EXPECT_EQ(LabelSignificance(at_most(3), kTwoSidedLabels), "P<0.01");
}

}  // namespace
}  // namespace tallo
