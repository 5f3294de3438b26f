#include "numeric/rank_tables.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numeric/critical_values.h"
#include "numeric/p_values.h"
#include "numeric/rank_distributions.h"

namespace tallo {
namespace {

// Lower critical rank sums of the smaller sample (size n <= m <= 10), levels 1, 2, 5 and
// 10; -1 where no sum is significant. Each level is a packed triangle: row n holds
// m = n .. 10, so (n, m) sits at (n-1)*10 - (n-1)*n/2 - 1 + m.
// Reproduce via R: max(u : pwilcox(u, n, m) <= level/200) + n(n+1)/2. The published table
// takes the sum nearest the level in eight places, one step above that value (tail
// probabilities up to 0.0055 at level 1 and 0.0252 at level 5), and has no entry for n = 2
// at level 5, where R gives 3 for m = 8 .. 10. It is kept as published.
constexpr int kRankSumTable[4][55] = {
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  // n = 1
     -1, -1, -1, -1, -1, -1, -1, -1, -1,      // n = 2
     -1, -1, -1, -1, -1, -1, 6, 6,            // n = 3
     -1, -1, 10, 10, 11, 11, 12,              // n = 4
     15, 16, 17, 18, 18, 19,                  // n = 5
     23, 24, 25, 26, 28,                      // n = 6
     32, 34, 35, 37,                          // n = 7
     44, 45, 47,                              // n = 8
     57, 59,                                  // n = 9
     71},                                     // n = 10
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
     -1, -1, -1, -1, -1, -1, -1, -1, -1,
     -1, -1, -1, -1, 6, 6, 7, 7,
     -1, 10, 11, 11, 12, 13, 13,
     16, 17, 18, 19, 20, 21,
     24, 25, 27, 28, 29,
     34, 35, 37, 39,
     45, 47, 49,
     59, 61,
     74},
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
     -1, -1, -1, -1, -1, -1, -1, -1, -1,
     -1, -1, 6, 7, 7, 8, 8, 9,
     10, 11, 12, 13, 14, 15, 15,
     17, 18, 20, 21, 22, 23,
     26, 27, 29, 31, 32,
     36, 38, 40, 42,
     49, 51, 53,
     63, 65,
     78},
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
     -1, -1, -1, 3, 3, 3, 4, 4, 4,
     6, 6, 7, 8, 8, 9, 10, 10,
     11, 12, 13, 14, 15, 16, 17,
     19, 20, 21, 23, 24, 26,
     28, 29, 31, 33, 35,
     39, 41, 43, 45,
     51, 54, 56,
     66, 69,
     82},
};
constexpr int kRankSumTableLargest = 10;

// Critical signed-rank sums for n = 5 .. 20, levels 1, 2, 5 and 10; -1 where none.
// Reproduce via R: max(v : psignrank(v, n) <= level/200).
constexpr int kSignedRankTable[4][16] = {
    {-1, -1, -1, 0, 1, 3, 5, 7, 9, 12, 15, 19, 23, 27, 32, 37},
    {-1, -1, 0, 1, 3, 5, 7, 9, 12, 15, 19, 23, 27, 32, 37, 43},
    {-1, 0, 2, 3, 5, 8, 10, 13, 17, 21, 25, 29, 34, 40, 46, 52},
    {0, 2, 3, 5, 8, 10, 13, 17, 21, 25, 30, 35, 41, 47, 53, 60},
};
constexpr int kSignedRankTableSmallest = 5;
constexpr int kSignedRankTableLargest = 20;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Mean and variance of the rank sum of n values among n + m.
double RankSumMean(double n, double m) { return n * (n + m + 1) / 2; }
double RankSumVariance(double n, double m) { return n * m * (n + m + 1) / 12; }

// Mean and variance of a signed-rank sum over n differences.
double SignedRankMean(double n) { return n * (n + 1) / 4; }
double SignedRankVariance(double n) { return n * (n + 1) * (2 * n + 1) / 24; }

}  // namespace

RankSumBounds RankSumCritical(int first_size, int second_size, int level) {
  const auto [n, m] = std::minmax({first_size, second_size});
  const std::optional<std::size_t> column = LevelColumn(level);
  if (!column) return {kNaN, kNaN};
  // Rank sums of the smaller sample lie symmetrically about n(n+m+1)/2.
  const double twice_centre = 2 * RankSumMean(n, m);
  double lower = -1;
  if (n < 1) {
    // An empty sample has no rank sum to test.
  } else if (m <= kRankSumTableLargest) {
    lower = kRankSumTable[*column][(n - 1) * kRankSumTableLargest - (n - 1) * n / 2 - 1 + m];
  } else {
    lower = RankSumMean(n, m) - NormalCritical(level) * std::sqrt(RankSumVariance(n, m));
  }
  return {lower, twice_centre - lower};
}

double SignedRankCritical(int n, int level) {
  const std::optional<std::size_t> column = LevelColumn(level);
  if (!column) return kNaN;
  if (n < kSignedRankTableSmallest) return -1;
  if (n <= kSignedRankTableLargest) return kSignedRankTable[*column][n - kSignedRankTableSmallest];
  return SignedRankMean(n) - NormalCritical(level) * std::sqrt(SignedRankVariance(n));
}

double RankSumP(double rank_sum, int first_size, int second_size) {
  const auto [n, m] = std::minmax({first_size, second_size});
  if (m <= kRankSumTableLargest) return RankSumExactP(rank_sum, n, m);
  return NormalTwoSidedP((rank_sum - RankSumMean(n, m)) / std::sqrt(RankSumVariance(n, m)));
}

double SignedRankP(double rank_sum, int n) {
  if (n <= kSignedRankTableLargest) return SignedRankExactP(rank_sum, n);
  return NormalTwoSidedP((rank_sum - SignedRankMean(n)) / std::sqrt(SignedRankVariance(n)));
}

}  // namespace tallo
