#include "numeric/duncan_range.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tallo {
namespace {

// The ranges below were evaluated in R from the coefficient table, independently of the
// C++ text: sum(a / df^(0:4)) with a the column of a0..a4 for p and the level.

TEST(DuncanRange, WorkedValue) {
  // The published range for 10 error df and two means at P = 0.05 is 3.15.
  EXPECT_NEAR(DuncanRange(10, 2, 5), 3.15, 0.001);
  EXPECT_NEAR(DuncanRange(10, 2, 5), 3.1499371937, 1e-10);  // R: the polynomial
}

TEST(DuncanRange, PublishedValuesForTheSmallestDf) {
  struct Case {
    int df, p, level;
    double range;
  };
  const Case cases[] = {
      {1, 2, 1, 90.03},
      {1, 9, 1, 90.03},
      {1, 30, 5, 17.97},
      {2, 2, 1, 14.04},
      {2, 12, 5, 6.085},
      {3, 3, 1, 8.321},
      {3, 3, 5, 4.516},
      {3, 20, 5, 4.516},
      {4, 5, 1, 6.756},
      {4, 4, 5, 4.033},
      {5, 7, 1, 6.074},
      {5, 5, 5, 3.814},
      // Below those p the polynomial applies (R, as above).
      {3, 2, 1, 8.2051985802},
      {3, 2, 5, 4.5046932963},
      {4, 4, 1, 6.7240174141},
      {4, 3, 5, 4.0169395742},
      {5, 6, 1, 6.0693784880},
      {5, 4, 5, 3.7955162800},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(DuncanRange(c.df, c.p, c.level), c.range, 1e-9)
        << "df " << c.df << " p " << c.p << " level " << c.level;
  }
}

// At 6 df every coefficient weighs at least 1/1296, so a mistyped digit shows at 1e-10.
TEST(DuncanRange, EveryCoefficientColumnAtSixDf) {
  const int spans[16] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24};
  // R: the polynomial at df 6 for each column, levels 5 and 1.
  const double five[16] = {3.457638895833, 3.585561784722, 3.642664675926, 3.678435685185,
                           3.697564083333, 3.708492657407, 3.709018645062, 3.665601435185,
                           3.705081327160, 3.692820746914, 3.694251827160, 3.695473805556,
                           3.687398546296, 3.679002023148, 3.673168361111, 3.566911912037};
  const double one[16] = {5.234108108025, 5.426409955247, 5.537190748457, 5.606663827160,
                          5.654702174383, 5.679408371914, 5.699309771605, 5.710390657407,
                          5.715390717593, 5.723114206790, 5.720764649691, 5.715188547840,
                          5.712144822531, 5.703636020062, 5.856616780864, 5.667465033951};
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(DuncanRange(6, spans[i], 5), five[i], 1e-10) << "p " << spans[i];
    EXPECT_NEAR(DuncanRange(6, spans[i], 1), one[i], 1e-10) << "p " << spans[i];
  }
}

TEST(DuncanRange, SpansBeyondElevenShareColumns) {
  const int same[][2] = {{13, 12}, {15, 14}, {17, 16}, {19, 18},
                         {21, 20}, {23, 20}, {25, 24}, {100, 24}};
  for (const auto& pair : same) {
    for (int level : {1, 5}) {
      EXPECT_EQ(DuncanRange(14, pair[0], level), DuncanRange(14, pair[1], level))
          << "p " << pair[0] << " level " << level;
    }
  }
  EXPECT_NE(DuncanRange(14, 12, 5), DuncanRange(14, 11, 5));
  EXPECT_NE(DuncanRange(14, 24, 5), DuncanRange(14, 23, 5));
}

TEST(DuncanRange, CloseToTheStudentizedRange) {
  // Duncan's range for p means is the studentized range at the protection level
  // 1 - (1 - alpha)^(p - 1). R: qtukey((1 - alpha)^(p - 1), p, df).
  struct Case {
    int df, p, level;
    double range;
  };
  const Case cases[] = {{20, 5, 5, 3.2546},   {30, 10, 1, 4.4768}, {60, 3, 5, 2.9759},
                        {120, 16, 1, 4.4096}, {12, 8, 5, 3.4591},  {40, 18, 1, 4.5662}};
  for (const Case& c : cases) {
    EXPECT_NEAR(DuncanRange(c.df, c.p, c.level), c.range, 0.002)
        << "df " << c.df << " p " << c.p << " level " << c.level;
  }
}

TEST(DuncanRange, UndefinedWithoutErrorDfOrSpan) {
  EXPECT_TRUE(std::isnan(DuncanRange(0, 2, 5)));
  EXPECT_TRUE(std::isnan(DuncanRange(-3, 2, 1)));
  EXPECT_TRUE(std::isnan(DuncanRange(10, 1, 5)));
  EXPECT_TRUE(std::isnan(DuncanRange(10, 2, 10)));
  EXPECT_TRUE(std::isnan(DuncanRange(10, 2, 2)));
}

}  // namespace
}  // namespace tallo
