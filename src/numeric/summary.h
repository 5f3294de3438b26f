#pragma once
// Summary functions over a sample. Sums carry the rounding error of each addition along
// (Neumaier's compensated summation), so data far from zero relative to their spread keep
// their digits; deviations are taken from the mean in a second pass. An empty sample gives
// nan where the result divides by the count; a variance of one value is 0/0, also nan.

#include <cmath>
#include <span>

namespace tallo {

// A running sum that keeps the low-order part each addition rounds away (Neumaier's variant
// of Kahan summation): exact to the last bit for sums whose terms cancel heavily.
class CompensatedSum {
 public:
  void Add(double v) {
    const double t = sum_ + v;
    compensation_ += std::fabs(sum_) >= std::fabs(v) ? (sum_ - t) + v : (v - t) + sum_;
    sum_ = t;
  }
  // An infinite or undefined running sum stands as it is: its compensation is nan.
  double Value() const { return std::isfinite(sum_) ? sum_ + compensation_ : sum_; }

 private:
  double sum_ = 0;
  double compensation_ = 0;
};

double Sum(std::span<const double> x);
double Mean(std::span<const double> x);

// The mean as an unevaluated sum high + low: high is the rounded mean and low the part that
// rounding left out, so (x - high) - low is the deviation of x to the last bit even where the
// data sit far from zero, and two means subtract without losing the digits of their difference.
struct SplitMean {
  double high = 0;
  double low = 0;

  double Deviation(double x) const { return (x - high) - low; }
  double Minus(const SplitMean& other) const { return (high - other.high) + (low - other.low); }
};
SplitMean MeanSplit(std::span<const double> x);
// Sum of squared deviations from the mean.
double SumSquaredDeviations(std::span<const double> x);
// Sum of (x - mean x)(y - mean y) over the first min(|x|, |y|) pairs.
double SumCrossDeviations(std::span<const double> x, std::span<const double> y);
// The same with the means of those pairs' x and y already at hand.
double SumCrossDeviations(std::span<const double> x, std::span<const double> y,
                          const SplitMean& mean_x, const SplitMean& mean_y);
// Divisor n - 1.
double SampleVariance(std::span<const double> x);
// Divisor n.
double PopulationVariance(std::span<const double> x);
// Sum of x squared, not centred.
double SumOfSquares(std::span<const double> x);
// The first smallest (largest) value; nan for an empty sample.
double Minimum(std::span<const double> x);
double Maximum(std::span<const double> x);

// n! / (k! (n-k)!) from three running factorial products; whole n and k only, and the
// products overflow past 170.
double BinomialCoefficient(double n, double k);

// x to the power k >= 0 by repeated squaring.
double PowInt(double x, int k);
// The same in whole numbers, exact while the result fits in 64 bits.
double PowIntInt(int x, int k);

}  // namespace tallo
