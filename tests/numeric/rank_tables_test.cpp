#include "numeric/rank_tables.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tallo {
namespace {

// Entries of each level, -1 ones included. Unless marked, each agrees with R:
// max(u : pwilcox(u, n, m) <= level/200) + n(n+1)/2.
TEST(RankSumCritical, PublishedTableAtEachLevel) {
  struct Entry { int n, m, level, lower; };
  const Entry entries[] = {
      {1, 10, 10, -1}, {2, 2, 1, -1},  {2, 4, 10, -1}, {2, 5, 10, 3},  {2, 10, 10, 4},
      {3, 3, 10, 6},   {3, 3, 5, -1},  {3, 8, 1, -1},  {3, 9, 1, 6},   {4, 4, 2, -1},
      {4, 5, 2, 10},   {5, 5, 1, 15},  {6, 9, 5, 31},  {7, 10, 2, 39}, {8, 10, 10, 56},
      {10, 10, 1, 71}, {10, 10, 2, 74}, {10, 10, 5, 78}, {10, 10, 10, 82},
      {5, 7, 1, 17},   // published; R gives 16 (17 has tail probability 0.00505)
      {2, 10, 5, -1},  // published; R gives 3 (tail probability 0.0152)
  };
  for (const Entry& e : entries) {
    const RankSumBounds bounds = RankSumCritical(e.n, e.m, e.level);
    EXPECT_EQ(bounds.lower, e.lower) << e.n << "/" << e.m << " at " << e.level;
    EXPECT_EQ(bounds.upper, e.n * (e.n + e.m + 1) - e.lower) << e.n << "/" << e.m;
    EXPECT_EQ(RankSumCritical(e.m, e.n, e.level).lower, e.lower) << "sizes in either order";
  }
}

TEST(RankSumCritical, UnreachableLevelsLieBeyondEverySum) {
  for (int n = 1; n <= 10; ++n) {
    for (int m = n; m <= 10; ++m) {
      for (int level : {1, 2, 5, 10}) {
        const RankSumBounds bounds = RankSumCritical(n, m, level);
        if (bounds.lower >= 0) continue;
        EXPECT_GT(bounds.upper, n * (n + 2 * m + 1) / 2.0) << n << "/" << m;  // largest sum
      }
    }
  }
  // An empty sample's sum is 0 and reaches no bound, with or without the table.
  for (int m : {5, 15}) {
    EXPECT_LT(RankSumCritical(0, m, 10).lower, 0);
    EXPECT_GT(RankSumCritical(0, m, 10).upper, 0);
  }
}

TEST(RankSumCritical, NormalApproximationBeyondTen) {
  // By hand: centre n(n+m+1)/2, spread sqrt(n m (n+m+1) / 12).
  EXPECT_DOUBLE_EQ(RankSumCritical(5, 12, 5).lower, 45 - 1.95996 * std::sqrt(90.0));
  EXPECT_DOUBLE_EQ(RankSumCritical(5, 12, 5).upper, 90 - 45 + 1.95996 * std::sqrt(90.0));
  // An odd n(n+m+1) keeps its half: centre 42.5, not 42.
  EXPECT_DOUBLE_EQ(RankSumCritical(11, 5, 1).lower, 42.5 - 2.57583 * std::sqrt(5 * 11 * 17 / 12.0));
  EXPECT_NEAR(RankSumCritical(12, 12, 10).lower, 121.5104, 1e-4);  // R: 150 - 1.64485*sqrt(300)
}

// Every entry of the signed-rank table agrees with R: max(v : psignrank(v, n) <= level/200).
TEST(SignedRankCritical, PublishedTableAtEachLevel) {
  struct Entry { int n, level, critical; };
  const Entry entries[] = {
      {0, 10, -1}, {4, 10, -1}, {5, 10, 0},  {5, 5, -1},  {6, 5, 0},   {7, 2, 0},
      {7, 1, -1},  {8, 1, 0},   {9, 1, 1},   {12, 5, 13}, {17, 1, 23}, {20, 1, 37},
      {20, 2, 43}, {20, 5, 52}, {20, 10, 60},
  };
  for (const Entry& e : entries) {
    EXPECT_EQ(SignedRankCritical(e.n, e.level), e.critical) << e.n << " at " << e.level;
  }
}

TEST(SignedRankCritical, NormalApproximationBeyondTwenty) {
  // By hand: n(n+1)/4 - z sqrt(n(n+1)(2n+1)/24), not rounded.
  EXPECT_DOUBLE_EQ(SignedRankCritical(21, 5), 115.5 - 1.95996 * std::sqrt(21 * 22 * 43 / 24.0));
  EXPECT_NEAR(SignedRankCritical(30, 1), 107.2672, 1e-4);
  EXPECT_NEAR(SignedRankCritical(29, 10), 141.4312, 1e-4);
}

}  // namespace
}  // namespace tallo
