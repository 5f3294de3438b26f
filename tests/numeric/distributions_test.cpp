#include "numeric/distributions.h"

#include <gtest/gtest.h>

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

TEST(ProbT, Bounds) {
  EXPECT_NEAR(ProbT(0, 10), 1, 1e-12);
  EXPECT_EQ(ProbT(5, 0), 0);
  EXPECT_EQ(ProbT(5, -3), 0);
  EXPECT_GE(ProbT(1e6, 4), 0);  // rounding never gives a negative probability
}

}  // namespace
}  // namespace tallo
