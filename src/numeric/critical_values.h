#pragma once
// Critical values of t, chi-square, F, the normal distribution and Pearson's r at the four
// levels of the worksheet's tests, and the significance label built from them.
//
// A level is a percentage: 10, 5, 2 or 1. Student's t and F are two-sided (upper level/2
// percent point), chi-square one-sided (upper level percent). Any other level, and degrees
// of freedom for which no critical value exists, give nan, which no statistic reaches.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace tallo {

// The levels every labelled test compares against, loosest first.
inline constexpr std::array<int, 4> kSignificanceLevels = {10, 5, 2, 1};

// The column of a level in tables typed strictest first: levels 1, 2, 5 and 10 give 0 to 3,
// any other level none.
std::optional<std::size_t> LevelColumn(int level);

// Two-sided critical value of the standard normal: 2.57583, 2.32635, 1.95996 and 1.64485
// at levels 1, 2, 5 and 10.
double NormalCritical(int level);

// Two-sided critical value of Student's t: the published table to df 30, beyond it
// c / df + z.
double TCritical(int df, int level);

// Upper critical value of chi-square: the published table to df 20 (df 0 gives 0), beyond
// it Wilson-Hilferty with a fixed correction of -0.03 at level 1 and +0.03 otherwise.
double ChiSquareCritical(int df, int level);

// Upper level/2 percent point of F: the published table for df1 = 1 and df2 < 10,
// otherwise Paulson's normal approximation (6366 where it turns negative).
double FCritical(int df1, int df2, int level);

// Two-sided critical value of Pearson's r with df = n - 2: the published table to df 20,
// beyond it z / sqrt(df + k) with z = 2.576, 2.326, 1.96, 1.645 and k = 3, 2, 1, 1 at levels
// 1, 2, 5, 10. Below df 1 there is none (nan).
double RCritical(int df, int level);

// The labels of one test: the text for no level reached, then one per level of
// kSignificanceLevels.
struct SignificanceLabels {
  std::string_view not_significant;
  std::array<std::string_view, kSignificanceLevels.size()> reached;
};

inline constexpr SignificanceLabels kTwoSidedLabels = {
    "n.s", {"P<0.10", "P<0.05", "P<0.02", "P<0.01"}};

// The label of the strictest level reached; reached(level) tells whether the statistic
// reaches the given level. The levels are tried loosest first and the last one reached
// wins.
template <typename ReachedAtLevel>
std::string_view LabelSignificance(ReachedAtLevel reached, const SignificanceLabels& labels) {
  std::string_view label = labels.not_significant;
  for (std::size_t i = 0; i < kSignificanceLevels.size(); ++i) {
    if (reached(kSignificanceLevels[i])) label = labels.reached[i];
  }
  return label;
}

// The usual case: a level is reached when the statistic is at or above its critical value
// critical(level). A nan statistic or critical value reaches nothing.
template <typename CriticalAtLevel>
std::string_view LabelByCriticalValue(double statistic, CriticalAtLevel critical,
                                      const SignificanceLabels& labels) {
  return LabelSignificance([&](int level) { return statistic >= critical(level); }, labels);
}

}  // namespace tallo
