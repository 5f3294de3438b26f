#pragma once
// Ascending sorts and mid-ranks shared by the rank tests.
//
// The sort is a quicksort with Hoare partitioning around the value at n/2. It is not
// stable: equal values may leave their carried entries in any order, so a caller whose
// result depends on that order sorts by a key of its own. Each variant carries a parallel
// array along with the values.

#include <span>

namespace tallo {

void SortValues(std::span<double> values);
void SortWithTags(std::span<double> values, std::span<int> tags);
void SortWithCompanion(std::span<double> values, std::span<double> companion);

// Sorts, then replaces each value by its 1-based rank; a run of equal values all get the
// mean rank of the run (2, 3 and 4 tied give 3, 3, 3). The carried array tells where each
// rank came from.
void RankValues(std::span<double> values);
void RankWithTags(std::span<double> values, std::span<int> tags);
void RankWithCompanion(std::span<double> values, std::span<double> companion);

}  // namespace tallo
