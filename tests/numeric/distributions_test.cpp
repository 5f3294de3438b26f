#include "numeric/distributions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace tallo {
namespace {

// Reference: R 2*pt(-abs(t), df). The closed series uses pi = 3.14159265, so agreement is
// to about 1e-8.
TEST(ProbT, TwoSidedProbability) {
  struct Case { double t; int df; double p; };
  const Case cases[] = {
      {2.228, 10, 0.05001177},  // R: 2*pt(-2.228, 10)
      {2.0, 1, 0.2951672},      // R: 2*pt(-2, 1)
      {1.5, 2, 0.27239312},     // R: 2*pt(-1.5, 2)
      {-3.0, 3, 0.05766888},    // R: 2*pt(-3, 3)
      {2.5, 7, 0.040992219},    // R: 2*pt(-2.5, 7)
      {1.0, 30, 0.32530862},    // R: 2*pt(-1, 30)
      {0.5, 200, 0.61762475},   // R: 2*pt(-0.5, 200)
  };
  for (const Case& c : cases) EXPECT_NEAR(ProbT(c.t, c.df), c.p, 2e-7) << c.t << " " << c.df;
}

// Past twenty million degrees of freedom the series is not summed term by term.
TEST(ProbT, VeryManyDegreesOfFreedom) {
  struct Case { double t; int df; double p; };
  const Case cases[] = {
      {0.3, 30000000, 0.764177157701},       // R: 2*pt(-0.3, 3e7)
      {4, 30000000, 6.33426353406e-05},      // R: 2*pt(-4, 3e7)
      {8, 30000000, 1.24423590191e-15},      // R: 2*pt(-8, 3e7)
      {1, 2000000000, 0.317310507984},       // R: 2*pt(-1, 2e9)
      {2, 2000000000, 0.0455002640313},      // R: 2*pt(-2, 2e9)
  };
  for (const Case& c : cases) EXPECT_NEAR(ProbT(c.t, c.df) / c.p, 1, 1e-9) << c.t << " " << c.df;
  // Just below the switch the series still runs, and agrees to the same digits.
  EXPECT_NEAR(ProbT(4, 20000000) / 6.33427112e-05, 1, 1e-6);  // R: 2*pt(-4, 2e7)
}

TEST(ProbT, Bounds) {
  EXPECT_NEAR(ProbT(0, 10), 1, 1e-12);
  EXPECT_EQ(ProbT(5, 0), 0);
  EXPECT_EQ(ProbT(5, -3), 0);
  EXPECT_GE(ProbT(1e6, 4), 0);  // rounding never gives a negative probability
}

// Reference: R pf(f, df1, df2, lower.tail = FALSE). LogGamma uses pi to eight decimals and
// Stirling's series to x^-3, so agreement is to about 1e-8.
TEST(ProbF, UpperTailProbability) {
  struct Case { double f; int df1; int df2; double p; };
  const Case cases[] = {
      {3.5, 2, 10, 0.070429628},  // R: pf(3.5, 2, 10, lower.tail=FALSE)
      {2.1, 5, 20, 0.107735480},  // R: pf(2.1, 5, 20, lower.tail=FALSE)
      {10, 3, 7, 0.006331604},    // R: pf(10, 3, 7, lower.tail=FALSE), the swapped tail
      {0.5, 4, 4, 0.740740741},   // R: pf(0.5, 4, 4, lower.tail=FALSE)
      {1.2, 10, 12, 0.376953125}, // R: pf(1.2, 10, 12, lower.tail=FALSE)
      {40, 1, 1, 0.099831966},    // R: pf(40, 1, 1, lower.tail=FALSE)
      {1, 6, 6, 0.5},             // equal degrees of freedom at F = 1, x = 0.5 unswapped
      {3, 2, 3000, 0.049936454},  // R: pf(3, 2, 3000, lower.tail=FALSE)
      {1.1, 40, 5000, 0.306992606},  // R: pf(1.1, 40, 5000, lower.tail=FALSE)
  };
  for (const Case& c : cases) {
    const std::optional<double> p = ProbF(c.f, c.df1, c.df2);
    ASSERT_TRUE(p.has_value()) << c.f;
    EXPECT_NEAR(*p, c.p, 1e-8) << c.f << " " << c.df1 << " " << c.df2;
  }
}

TEST(ProbF, Bounds) {
  EXPECT_EQ(ProbF(0, 3, 5), 1.0);
  EXPECT_EQ(ProbF(-2, 3, 5), 1.0);
  EXPECT_EQ(ProbF(1e9, 3, 20), 0.0);  // below 1e-12 is reported as 0
  EXPECT_EQ(ProbF(std::numeric_limits<double>::infinity(), 3, 20), 0.0);
  EXPECT_TRUE(std::isnan(*ProbF(std::nan(""), 3, 20)));
  EXPECT_TRUE(std::isnan(*ProbF(2, 3, 0)));
  EXPECT_TRUE(std::isnan(*ProbF(2, 0, 3)));
}

TEST(LogGamma, WholeHalfWholeAndOtherArguments) {
  struct Case { double x; double value; };
  const Case cases[] = {
      {0.5, 0.572364943},   // R: lgamma(0.5)
      {1, 0},               // R: lgamma(1)
      {2, 0},               // R: lgamma(2)
      {5, 3.178053830},     // R: lgamma(5)
      {4.5, 2.453736571},   // R: lgamma(4.5)
      {10, 12.801827480},   // R: lgamma(10)
      {12.5, 18.734347512}, // R: lgamma(12.5)
      {3.3, 0.987098578},   // R: lgamma(3.3)
      {0.3, 1.095797995},   // R: lgamma(0.3)
  };
  for (const Case& c : cases) EXPECT_NEAR(LogGamma(c.x), c.value, 1e-8) << c.x;
  EXPECT_TRUE(std::isnan(LogGamma(0)));
}

}  // namespace
}  // namespace tallo
