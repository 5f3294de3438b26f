#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "procedures/correlation.h"

namespace tallo {
namespace {

// Property: the O(n log n) count agrees with the definition, S over every pair i < j: +1
// when both variables rise, -1 when one falls; a tie in either counts 0.
TEST(KendallPairs, AgreeWithTheDefinition) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 300; ++trial) {
    const int n = std::uniform_int_distribution<int>(0, 40)(random);
    std::uniform_int_distribution<int> value(0, trial % 2 == 0 ? 4 : 50);
    std::vector<double> x(n);
    std::vector<double> y(n);
    for (int i = 0; i < n; ++i) {
      x[i] = value(random);
      y[i] = value(random);
    }
    long long score = 0;
    long long x_ties = 0;
    long long y_ties = 0;
    for (int i = 0; i < n; ++i) {
      for (int j = i + 1; j < n; ++j) {
        score += ((x[i] < x[j]) - (x[j] < x[i])) * ((y[i] < y[j]) - (y[j] < y[i]));
        x_ties += x[i] == x[j];
        y_ties += y[i] == y[j];
      }
    }
    const KendallCounts counts = CountKendallPairs(x, y);
    ASSERT_EQ(counts.score, score) << "trial " << trial;
    ASSERT_EQ(counts.x_tied_pairs, x_ties);
    ASSERT_EQ(counts.y_tied_pairs, y_ties);
  }
}

}  // namespace
}  // namespace tallo
