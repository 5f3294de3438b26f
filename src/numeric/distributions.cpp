#include "numeric/distributions.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace tallo {
namespace {

// The worksheet's probabilities have always been computed with pi to eight decimals.
constexpr double kPi = 3.14159265;

double SumOfLogs(double from, double to) {
  double sum = 0;
  for (double v = from; v <= to; ++v) sum += std::log(v);
  return sum;
}

// Beyond this many degrees of freedom the series would run to df/2 terms (its terms fall
// below 1e-10 only after some 46 df / t^2 of them), seconds of work for one call.
constexpr int kSeriesDegreesOfFreedom = 20000000;

// Two-sided P(|T| >= t) for very many degrees of freedom: the normal tail with the
// first-order correction of its Edgeworth expansion, phi(t) (t^3 + t) / (2 df). The error
// is of order 1/df^2, far below the six digits an answer shows.
double ProbTForManyDegrees(double t, double df) {
  const double density = std::exp(-t * t / 2) / std::sqrt(2 * std::numbers::pi);
  return std::erfc(t / std::sqrt(2.0)) + density * (t * t * t + t) / (2 * df);
}

}  // namespace

double ProbT(double t, int df) {
  if (df < 1) return 0;
  t = std::fabs(t);
  if (df > kSeriesDegreesOfFreedom) return ProbTForManyDegrees(t, df);
  const double theta = std::atan(t / std::sqrt(static_cast<double>(df)));
  double p = 0;
  if (df == 1) {
    p = 1 - 2 * theta / kPi;
  } else if (df == 2) {
    p = 1 - std::sin(theta);
  } else if (df == 3) {
    p = 1 - 2 * theta / kPi - std::sin(2 * theta) / kPi;
  } else {
    const double c = std::pow(std::cos(theta), 2);
    double sum = 1;
    double term = 1;
    for (int i = df % 2 == 0 ? 2 : 3; i <= df - 2; i += 2) {
      term = term * (i - 1) / i * c;
      sum += term;
      if (term < 1e-10) break;
    }
    p = df % 2 == 0 ? 1 - std::sin(theta) * sum
                    : 1 - 2 * (theta + std::sin(theta) * std::cos(theta) * sum) / kPi;
  }
  return p < 0 ? 0 : p;
}

std::optional<double> ProbF(double f, int df1, int df2) {
  if (std::isnan(f) || df1 < 1 || df2 < 1) return std::numeric_limits<double>::quiet_NaN();
  if (f <= 0) return 1.0;
  if (std::isinf(f)) return 0.0;
  double a = df1 / 2.0;
  double b = df2 / 2.0;
  double x = a * f / (a * f + b);
  const double c = a + b - 1;
  const bool complemented = x > 0.5;
  if (complemented) {
    x = 1 - x;
    std::swap(a, b);
  }
  // I_x(a, b) = E (1 + sum of terms), each term the last one times x (c + i) / (a + i).
  // E and the terms are multiplied in logarithms: with many degrees of freedom E alone
  // underflows while the terms overflow. The terms rise while x (c + i) > a + i and then
  // fall at least geometrically; the bound on their number leaves room for both.
  const double log_e =
      a * std::log(x) + b * std::log(1 - x) - LogGamma(a + 1) - LogGamma(b) + LogGamma(c + 1);
  const double log_smallest_term = std::log(1e-12);
  const double most_terms = 1000 + 8 * c;
  double lower_tail = std::exp(log_e);
  double log_term = 0;
  for (double i = 1;; ++i) {
    if (i > most_terms) return std::nullopt;
    log_term += std::log(x * (c + i) / (a + i));
    lower_tail += std::exp(log_e + log_term);
    if (log_term < log_smallest_term) break;
  }
  double p = 1 - lower_tail;
  if (complemented) p = 1 - p;
  return p < 1e-12 ? 0 : p;
}

double LogGamma(double x) {
  if (!(x > 0)) return std::numeric_limits<double>::quiet_NaN();
  if (x >= 10) {
    return (x - 0.5) * std::log(x) - x + 0.5 * std::log(2 * kPi) + 1 / (12 * x) -
           1 / (360 * x * x * x);
  }
  if (x == std::floor(x)) return SumOfLogs(2, x - 1);
  if (2 * x == std::floor(2 * x)) return 0.5 * std::log(kPi) + SumOfLogs(0.5, x - 1);
  // Gamma(x) = Gamma(x + k) / (x (x + 1) ... (x + k - 1)), with x + k at 10 or more.
  double shifted = x;
  double log_product = 0;
  for (; shifted < 10; ++shifted) log_product += std::log(shifted);
  return LogGamma(shifted) - log_product;
}

}  // namespace tallo
