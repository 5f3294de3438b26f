#include "numeric/rank_distributions.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace tallo {
namespace {

// Probabilities of the values 0, 1, 2, ... of a statistic.
using Distribution = std::vector<double>;

double TwoSidedP(const Distribution& distribution, double statistic) {
  if (std::isnan(statistic)) return std::numeric_limits<double>::quiet_NaN();
  double lower = 0;
  double upper = 0;
  for (std::size_t value = 0; value < distribution.size(); ++value) {
    const double v = static_cast<double>(value);
    if (v <= statistic) lower += distribution[value];
    if (v >= statistic) upper += distribution[value];
  }
  return std::min(1.0, 2 * std::min(lower, upper));
}

// U = rank sum - n(n+1)/2, the number of pairs in which the first sample's value is the
// larger. The largest of all n + m values belongs to the first sample with probability
// n / (n + m), and then exceeds all m values of the second; otherwise it adds nothing.
Distribution MannWhitneyU(int n, int m) {
  // by_size[j]: the distribution for sizes (i, j), row i built from row i - 1.
  std::vector<Distribution> by_size(static_cast<std::size_t>(m) + 1, Distribution{1.0});
  for (int i = 1; i <= n; ++i) {
    std::vector<Distribution> row(by_size.size(), Distribution{1.0});
    for (int j = 1; j <= m; ++j) {
      const double first_is_largest = static_cast<double>(i) / (i + j);
      const Distribution& without_largest_first = by_size[static_cast<std::size_t>(j)];
      const Distribution& without_largest_second = row[static_cast<std::size_t>(j) - 1];
      Distribution u(static_cast<std::size_t>(i * j) + 1, 0.0);
      for (std::size_t k = 0; k < without_largest_first.size(); ++k) {
        u[k + static_cast<std::size_t>(j)] += first_is_largest * without_largest_first[k];
      }
      for (std::size_t k = 0; k < without_largest_second.size(); ++k) {
        u[k] += (1 - first_is_largest) * without_largest_second[k];
      }
      row[static_cast<std::size_t>(j)] = std::move(u);
    }
    by_size = std::move(row);
  }
  return by_size.back();
}

// Rank k joins the sum with probability 1/2: p_k(t) = (p_{k-1}(t) + p_{k-1}(t - k)) / 2.
Distribution SignedRankSum(int n) {
  Distribution sums{1.0};
  for (std::size_t k = 1; k <= static_cast<std::size_t>(n); ++k) {
    Distribution next(sums.size() + k, 0.0);
    for (std::size_t t = 0; t < sums.size(); ++t) {
      next[t] += sums[t] / 2;
      next[t + k] += sums[t] / 2;
    }
    sums = std::move(next);
  }
  return sums;
}

// Inversions of a random permutation: the k-th element adds 0 to k - 1 inversions, each
// with probability 1/k.
Distribution Inversions(int n) {
  Distribution inversions{1.0};
  for (std::size_t k = 2; k <= static_cast<std::size_t>(n); ++k) {
    Distribution next(inversions.size() + k - 1, 0.0);
    double window = 0;  // sum of inversions[d - k + 1 .. d]
    for (std::size_t d = 0; d < next.size(); ++d) {
      if (d < inversions.size()) window += inversions[d];
      if (d >= k) window -= inversions[d - k];
      next[d] = window / static_cast<double>(k);
    }
    inversions = std::move(next);
  }
  return inversions;
}

// Sum of (position - rank)^2 over a random permutation, counted by the set of ranks given
// to the first positions: the next position is the number of ranks given, and it may take
// any rank not yet given.
Distribution SquaredRankDifferences(int n) {
  const std::size_t size = static_cast<std::size_t>(n);
  const std::size_t sums = size * (size * size - 1) / 3 + 1;  // up to the reversed order
  const std::size_t sets = std::size_t{1} << size;
  std::vector<std::uint32_t> counts(sets * sums, 0);  // by set of ranks given, then sum
  counts[0] = 1;
  // A set with one more rank is a larger number, so every set is complete when reached.
  for (std::size_t given = 0; given + 1 < sets; ++given) {
    const std::size_t position = static_cast<std::size_t>(std::popcount(given));
    for (std::size_t rank = 0; rank < size; ++rank) {
      const std::size_t with_rank = given | (std::size_t{1} << rank);
      if (with_rank == given) continue;
      const std::size_t distance = position > rank ? position - rank : rank - position;
      const std::size_t step = distance * distance;
      const std::uint32_t* from = &counts[given * sums];
      std::uint32_t* to = &counts[with_rank * sums + step];
      for (std::size_t d = 0; d + step < sums; ++d) to[d] += from[d];
    }
  }
  double permutations = 1;
  for (std::size_t k = 2; k <= size; ++k) permutations *= static_cast<double>(k);
  Distribution by_sum(sums);
  for (std::size_t d = 0; d < sums; ++d) by_sum[d] = counts[(sets - 1) * sums + d] / permutations;
  return by_sum;
}

}  // namespace

double RankSumExactP(double rank_sum, int n, int m) {
  return TwoSidedP(MannWhitneyU(n, m), rank_sum - n * (n + 1) / 2.0);
}

double SignedRankExactP(double rank_sum, int n) { return TwoSidedP(SignedRankSum(n), rank_sum); }

double SpearmanExactP(double squared_differences, int n) {
  if (n < 0 || n > kSpearmanExactLargest) return std::numeric_limits<double>::quiet_NaN();
  return TwoSidedP(SquaredRankDifferences(n), squared_differences);
}

double KendallExactP(double discordant_pairs, int n) {
  return TwoSidedP(Inversions(n), discordant_pairs);
}

}  // namespace tallo
