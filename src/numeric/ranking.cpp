#include "numeric/ranking.h"

#include <cassert>
#include <cstddef>
#include <utility>

namespace tallo {
namespace {

// Sorts values[lo, hi), calling swap_carried(i, j) whenever values i and j are swapped.
// Each partition recurses into its smaller part and loops on the larger, so the stack
// stays O(log n) deep whatever the input.
template <typename SwapCarried>
void QuickSort(std::span<double> values, std::ptrdiff_t lo, std::ptrdiff_t hi,
               SwapCarried& swap_carried) {
  while (hi - lo >= 2) {
    const double pivot = values[static_cast<std::size_t>(lo + (hi - lo) / 2)];
    std::ptrdiff_t i = lo - 1;
    std::ptrdiff_t j = hi;
    for (;;) {
      do ++i; while (values[static_cast<std::size_t>(i)] < pivot);
      do --j; while (values[static_cast<std::size_t>(j)] > pivot);
      if (i >= j) break;
      std::swap(values[static_cast<std::size_t>(i)], values[static_cast<std::size_t>(j)]);
      swap_carried(static_cast<std::size_t>(i), static_cast<std::size_t>(j));
    }
    // [lo, i) holds no value above the pivot and [i, hi) none below it.
    if (i - lo < hi - i) {
      QuickSort(values, lo, i, swap_carried);
      lo = i;
    } else {
      QuickSort(values, i, hi, swap_carried);
      hi = i;
    }
  }
}

template <typename SwapCarried>
void Sort(std::span<double> values, SwapCarried swap_carried) {
  QuickSort(values, 0, static_cast<std::ptrdiff_t>(values.size()), swap_carried);
}

// Replaces sorted values by their mid-ranks: a run of equal values at positions i to j - 1
// shares the mean of the ranks i + 1 to j, that is (i + 1 + j) / 2, which is also what
// dividing the run's sum of ranks by its length gives exactly.
void ReplaceSortedByRanks(std::span<double> values) {
  for (std::size_t i = 0; i < values.size();) {
    std::size_t j = i + 1;
    while (j < values.size() && values[j] == values[i]) ++j;
    const double rank = static_cast<double>(i + 1 + j) / 2;
    for (std::size_t k = i; k < j; ++k) values[k] = rank;
    i = j;
  }
}

template <typename T>
auto SwapIn(std::span<T> carried) {
  return [carried](std::size_t i, std::size_t j) { std::swap(carried[i], carried[j]); };
}

}  // namespace

void SortValues(std::span<double> values) {
  Sort(values, [](std::size_t, std::size_t) {});
}

void SortWithTags(std::span<double> values, std::span<int> tags) {
  assert(tags.size() >= values.size());
  Sort(values, SwapIn(tags));
}

void SortWithCompanion(std::span<double> values, std::span<double> companion) {
  assert(companion.size() >= values.size());
  Sort(values, SwapIn(companion));
}

void RankValues(std::span<double> values) {
  SortValues(values);
  ReplaceSortedByRanks(values);
}

void RankWithTags(std::span<double> values, std::span<int> tags) {
  SortWithTags(values, tags);
  ReplaceSortedByRanks(values);
}

void RankWithCompanion(std::span<double> values, std::span<double> companion) {
  SortWithCompanion(values, companion);
  ReplaceSortedByRanks(values);
}

}  // namespace tallo
