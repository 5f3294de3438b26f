#pragma once
// Exact null distributions of rank statistics for small samples without ties, and their
// two-sided p-values: twice the smaller tail, at most 1. A statistic that falls between
// two possible values (mid-ranks of ties) is judged against the untied distribution as a
// table of critical values judges it: the lower tail counts the values at or below it, the
// upper tail those at or above it. A nan statistic gives nan.
//
// The work grows with the square of the samples' sizes (Spearman's with 2^n): these are for
// the sizes that tables of critical values cover.

namespace tallo {

// The rank sum of a sample of n values among n + m, every split of the ranks equally likely
// (Mann and Whitney's recurrence).
double RankSumExactP(double rank_sum, int n, int m);

// The sum of the ranks of the positive (or of the negative) differences among n non-zero
// differences, every sign equally likely.
double SignedRankExactP(double rank_sum, int n);

// Spearman's sum of squared rank differences over n pairs, every permutation of the ranks
// equally likely. nan above kSpearmanExactLargest pairs.
double SpearmanExactP(double squared_differences, int n);
inline constexpr int kSpearmanExactLargest = 9;

// Kendall's number of discordant pairs among n pairs, every permutation equally likely.
double KendallExactP(double discordant_pairs, int n);

}  // namespace tallo
