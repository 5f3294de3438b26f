#include "numeric/p_values.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>

namespace tallo {
namespace {

namespace bm = boost::math;
namespace policies = boost::math::policies;

// A report never throws: parameters outside a distribution's domain give nan, and the
// other errors give the nearest representable result.
using ReportPolicy = policies::policy<
    policies::domain_error<policies::ignore_error>, policies::pole_error<policies::ignore_error>,
    policies::overflow_error<policies::ignore_error>,
    policies::underflow_error<policies::ignore_error>,
    policies::evaluation_error<policies::ignore_error>,
    policies::rounding_error<policies::ignore_error>>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The upper tail P(X >= x), x >= 0, of a continuous distribution; an infinite x lies beyond
// every value. Degrees of freedom must be positive and finite.
template <typename Distribution>
double UpperTail(const Distribution& distribution, double x) {
  if (std::isnan(x)) return kNaN;
  if (std::isinf(x)) return 0;
  return bm::cdf(bm::complement(distribution, x));
}

bool IsDegreesOfFreedom(double df) { return df > 0 && std::isfinite(df); }

// A two-sided p-value from one tail; nan stays nan.
double TwoSided(double tail) { return 2 * tail > 1 ? 1 : 2 * tail; }

}  // namespace

double StudentTwoSidedP(double t, double df) {
  if (!IsDegreesOfFreedom(df)) return kNaN;
  return TwoSided(UpperTail(bm::students_t_distribution<double, ReportPolicy>(df), std::fabs(t)));
}

double FUpperP(double f, double df1, double df2) {
  if (!IsDegreesOfFreedom(df1) || !IsDegreesOfFreedom(df2)) return kNaN;
  if (f <= 0) return 1;
  return UpperTail(bm::fisher_f_distribution<double, ReportPolicy>(df1, df2), f);
}

double ChiSquareUpperP(double x, double df) {
  if (!IsDegreesOfFreedom(df)) return kNaN;
  if (x <= 0) return 1;
  return UpperTail(bm::chi_squared_distribution<double, ReportPolicy>(df), x);
}

double NormalTwoSidedP(double z) {
  return TwoSided(UpperTail(bm::normal_distribution<double, ReportPolicy>(), std::fabs(z)));
}

double FairCoinTwoSidedP(double n, double r) {
  const auto is_count = [](double x) { return std::isfinite(x) && x >= 0 && std::floor(x) == x; };
  if (!is_count(n) || !is_count(r) || r > n) return kNaN;
  const double farther = std::max(r, n - r);
  if (farther == 0) return 1;  // no trials
  // P(X >= farther) = P(X > farther - 1).
  const double tail = bm::cdf(
      bm::complement(bm::binomial_distribution<double, ReportPolicy>(n, 0.5), farther - 1));
  return TwoSided(tail);
}

}  // namespace tallo
