#pragma once
// Critical values of the Mann-Whitney rank-sum and the Wilcoxon signed-rank statistics at
// the levels 10, 5, 2 and 1 (two-sided percent): the published tables for small samples,
// normal approximations beyond them.

namespace tallo {

// A rank sum of the smaller of two independent samples at or below lower, or at or above
// upper, is significant at the level.
struct RankSumBounds {
  double lower;
  double upper;
};

// The bounds for two samples of the given sizes, in either order. While both sizes are at
// most 10 they come from the published table; a level that no rank sum reaches there (and
// any level when a sample is empty) gives lower -1 and an upper bound above every possible
// sum. Larger samples use the normal approximation of the rank sum.
RankSumBounds RankSumCritical(int first_size, int second_size, int level);

// The critical value of the smaller signed-rank sum over n non-zero differences: a sum at
// or below it is significant at the level. -1 where no sum is (every level below n = 5);
// the published table up to n = 20, the normal approximation (not rounded) beyond.
double SignedRankCritical(int n, int level);

// The two-sided p-values of the same statistics, from the distribution the critical values
// are read from: the exact null distribution where the tables serve, beyond them the normal
// approximation of the critical values (no correction for ties or continuity).
double RankSumP(double rank_sum, int first_size, int second_size);
double SignedRankP(double rank_sum, int n);

}  // namespace tallo
