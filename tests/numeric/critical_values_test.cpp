// The published tables checked against their source: each entry is a quantile of its
// distribution rounded as published, so the probability of the entry minus half a unit of
// its last digit lies on one side of the level and that of the entry plus half a unit on
// the other. The t, F and r tables are checked with ProbT, the chi-square table with the
// chi-square tail in closed form. The sample entries that define each table are in
// critical_values.tsv.

#include "numeric/critical_values.h"

#include <gtest/gtest.h>

#include <cmath>

#include "numeric/distributions.h"

namespace tallo {
namespace {

// Upper tail of chi-square with df degrees of freedom: Q(x; 1) = erfc(sqrt(x/2)),
// Q(x; 2) = exp(-x/2), Q(x; k + 2) = Q(x; k) + (x/2)^(k/2) exp(-x/2) / Gamma(k/2 + 1).
double ChiSquareTail(double x, int df) {
  double q = df % 2 == 1 ? std::erfc(std::sqrt(x / 2)) : std::exp(-x / 2);
  for (int k = df % 2 == 1 ? 1 : 2; k < df; k += 2) {
    q += std::exp(k / 2.0 * std::log(x / 2) - x / 2 - std::lgamma(k / 2.0 + 1));
  }
  return q;
}

// Half a unit of the last published digit (with room for the rounding of the double): the
// entries have three decimals, those of F two below 100, one below 1000 and none above.
double HalfUnit(double entry, int decimals) {
  return 0.5 * std::pow(10.0, -decimals) + 1e-12 * entry;
}

// The entry brackets the quantile where the tail probability falls through p, to the 1e-7
// that ProbT's pi of eight decimals allows.
void ExpectBrackets(double p, double below, double above, const std::string& what) {
  EXPECT_GE(below, p - 1e-7) << what;
  EXPECT_LE(above, p + 1e-7) << what;
}

TEST(CriticalValueTables, TIsTheQuantileOfStudentsT) {
  for (int level : kSignificanceLevels) {
    for (int df = 1; df <= 30; ++df) {
      const double t = TCritical(df, level);
      const double h = HalfUnit(t, 3);
      ExpectBrackets(level / 100.0, ProbT(t - h, df), ProbT(t + h, df),
                     "t df " + std::to_string(df) + " level " + std::to_string(level));
    }
  }
}

TEST(CriticalValueTables, ChiSquareIsTheQuantileOfChiSquare) {
  for (int level : kSignificanceLevels) {
    for (int df = 1; df <= 20; ++df) {
      const double x = ChiSquareCritical(df, level);
      const double h = HalfUnit(x, 3);
      ExpectBrackets(level / 100.0, ChiSquareTail(x - h, df), ChiSquareTail(x + h, df),
                     "chi-square df " + std::to_string(df) + " level " + std::to_string(level));
    }
  }
}

// F(1, df2) is the square of t(df2): the upper level/2 percent point of F is the square of
// the two-sided level percent point of t.
TEST(CriticalValueTables, FOfOneDegreeIsTheSquareOfT) {
  for (int level : kSignificanceLevels) {
    for (int df2 = 1; df2 <= 9; ++df2) {
      const double f = FCritical(1, df2, level);
      const double h = HalfUnit(f, f >= 1000 ? 0 : f >= 100 ? 1 : 2);
      ExpectBrackets(level / 200.0, ProbT(std::sqrt(f - h), df2), ProbT(std::sqrt(f + h), df2),
                     "F df2 " + std::to_string(df2) + " level " + std::to_string(level));
    }
  }
}

// r with df degrees of freedom is t / sqrt(df + t^2), t = r sqrt(df / (1 - r^2)).
TEST(CriticalValueTables, RIsTheQuantileOfPearsonsR) {
  const auto t_of = [](double r, int df) {
    return r >= 1 ? INFINITY : r * std::sqrt(df / (1 - r * r));
  };
  for (int level : kSignificanceLevels) {
    for (int df = 1; df <= 20; ++df) {
      const double r = RCritical(df, level);
      // Published as 0.457 at df 12, 10%, where R gives 0.4575002: rounded down at the tie.
      const double h = HalfUnit(r, 3) + (df == 12 && level == 10 ? 1e-6 : 0);
      ExpectBrackets(level / 100.0, ProbT(t_of(r - h, df), df), ProbT(t_of(r + h, df), df),
                     "r df " + std::to_string(df) + " level " + std::to_string(level));
    }
  }
}

}  // namespace
}  // namespace tallo
