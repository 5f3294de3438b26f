#include "numeric/summary.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tallo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double FactorialProduct(double n) {
  double product = 1;
  for (double v = 2; v <= n; ++v) product *= v;
  return product;
}

}  // namespace

double Sum(std::span<const double> x) {
  CompensatedSum sum;
  for (double v : x) sum.Add(v);
  return sum.Value();
}

double Mean(std::span<const double> x) { return Sum(x) / static_cast<double>(x.size()); }

SplitMean MeanSplit(std::span<const double> x) {
  const double high = Mean(x);
  CompensatedSum deviations;
  for (double v : x) deviations.Add(v - high);
  return {high, deviations.Value() / static_cast<double>(x.size())};  // nan, as high, for no values
}

double SumSquaredDeviations(std::span<const double> x) { return SumCrossDeviations(x, x); }

double SumCrossDeviations(std::span<const double> x, std::span<const double> y) {
  const std::size_t n = std::min(x.size(), y.size());
  if (n == 0) return 0;
  return SumCrossDeviations(x, y, MeanSplit(x.first(n)), MeanSplit(y.first(n)));
}

double SumCrossDeviations(std::span<const double> x, std::span<const double> y,
                          const SplitMean& mean_x, const SplitMean& mean_y) {
  const std::size_t n = std::min(x.size(), y.size());
  CompensatedSum products;
  for (std::size_t i = 0; i < n; ++i) {
    products.Add(mean_x.Deviation(x[i]) * mean_y.Deviation(y[i]));
  }
  return products.Value();
}

double SampleVariance(std::span<const double> x) {
  // No values would give 0 / -1, a plausible-looking -0 for an undefined variance.
  if (x.empty()) return kNaN;
  return SumSquaredDeviations(x) / (static_cast<double>(x.size()) - 1);
}

double PopulationVariance(std::span<const double> x) {
  return SumSquaredDeviations(x) / static_cast<double>(x.size());
}

double SumOfSquares(std::span<const double> x) {
  double sum = 0;
  for (double v : x) sum += std::pow(v, 2.0);
  return sum;
}

double Minimum(std::span<const double> x) {
  if (x.empty()) return kNaN;
  double smallest = x[0];
  for (double v : x) {
    if (v < smallest) smallest = v;
  }
  return smallest;
}

double Maximum(std::span<const double> x) {
  if (x.empty()) return kNaN;
  double largest = x[0];
  for (double v : x) {
    if (v > largest) largest = v;
  }
  return largest;
}

double BinomialCoefficient(double n, double k) {
  return FactorialProduct(n) / (FactorialProduct(k) * FactorialProduct(n - k));
}

double PowInt(double x, int k) {
  double result = 1;
  for (double base = x; k > 0; base *= base) {
    if (k & 1) result *= base;
    k >>= 1;
  }
  return result;
}

double PowIntInt(int x, int k) {
  // Whole-number products keep the cubes of sample sizes exact; where 64 bits no longer
  // hold the result, the real-number power is the honest answer (never a wrapped one).
  long long result = 1;
  long long base = x;
  for (int bits = k; bits > 0; bits >>= 1) {
    const bool overflow = ((bits & 1) && __builtin_mul_overflow(result, base, &result)) ||
                          (bits > 1 && __builtin_mul_overflow(base, base, &base));
    if (overflow) return PowInt(static_cast<double>(x), k);
  }
  return static_cast<double>(result);
}

}  // namespace tallo
