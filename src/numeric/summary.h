#pragma once
// Summary functions over a sample, summed in index order. An empty sample gives nan where
// the result divides by the count; a variance of one value is 0/0, also nan.

#include <span>

namespace tallo {

double Sum(std::span<const double> x);
double Mean(std::span<const double> x);
// Sum of squared deviations from the mean.
double SumSquaredDeviations(std::span<const double> x);
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
