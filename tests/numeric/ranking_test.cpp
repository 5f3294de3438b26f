#include "numeric/ranking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace tallo {
namespace {

using Values = std::vector<double>;

TEST(Sort, AscendingWithTheCarriedEntries) {
  std::mt19937 random(5);
  for (int trial = 0; trial < 200; ++trial) {
    const int n = std::uniform_int_distribution<int>(0, 60)(random);
    Values values;
    std::vector<int> tags;
    for (int i = 0; i < n; ++i) {
      values.push_back(std::uniform_int_distribution<int>(0, 9)(random));
      tags.push_back(i);
    }
    const Values original = values;
    SortWithTags(values, tags);
    ASSERT_TRUE(std::is_sorted(values.begin(), values.end()));
    for (int i = 0; i < n; ++i) ASSERT_EQ(values[i], original[tags[i]]);
    std::vector<int> sorted_tags = tags;
    std::sort(sorted_tags.begin(), sorted_tags.end());
    for (int i = 0; i < n; ++i) ASSERT_EQ(sorted_tags[i], i);
  }
}

TEST(Sort, OrderOfEqualValuesIsTheQuicksortsOwn) {
  // By hand: pivot 2 swaps positions 0 and 3, splits at 2; each half of two equal values
  // swaps once more.
  Values values = {2, 1, 2, 1};
  std::vector<int> tags = {0, 1, 2, 3};
  SortWithTags(values, tags);
  EXPECT_EQ(values, (Values{1, 1, 2, 2}));
  EXPECT_EQ(tags, (std::vector<int>{1, 3, 0, 2}));

  Values times = {5, 5, 5};
  Values events = {1, 0, 1};
  SortWithCompanion(times, events);  // pivot at 1: swap 0 and 2, then the right pair swaps
  EXPECT_EQ(events, (Values{1, 1, 0}));
}

TEST(Sort, LargeAndDegenerateInputs) {
  const std::size_t n = 1000000;
  Values ascending(n), equal(n, 7.0), descending(n);
  for (std::size_t i = 0; i < n; ++i) {
    ascending[i] = static_cast<double>(i);
    descending[i] = static_cast<double>(n - i);
  }
  for (Values* values : {&ascending, &equal, &descending}) {
    SortValues(*values);
    EXPECT_TRUE(std::is_sorted(values->begin(), values->end()));
  }
  Values empty;
  SortValues(empty);
}

TEST(Rank, CarriedArraysTellWhereRanksCameFrom) {
  Values values = {30, 10, 20, 10};
  std::vector<int> tags = {0, 1, 0, 1};
  RankWithTags(values, tags);
  double rank_sum_of_tag0 = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (tags[i] == 0) rank_sum_of_tag0 += values[i];
  }
  EXPECT_EQ(rank_sum_of_tag0, 3 + 4);  // 20 and 30 rank 3 and 4

  Values x = {1.5, 0.5, 2.5};
  Values y = {10, 20, 30};
  RankWithCompanion(x, y);
  EXPECT_EQ(x, (Values{1, 2, 3}));
  EXPECT_EQ(y, (Values{20, 10, 30}));
}

}  // namespace
}  // namespace tallo
