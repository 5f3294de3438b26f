#pragma once
// Outlier tests on one sample: each value's deviation from the mean, in units of the
// standard deviation with divisor n, judged by the Smirnov and the Thompson tables.

#include <span>
#include <string>
#include <string_view>

#include "procedures/registry.h"

namespace tallo {

// smirnov(a)=
std::string SmirnovReport(DataSets data);

// One line per value in input order with its normed deviation and both labels, then the
// mean and standard deviation. No values, or values without spread, give "nan" numbers.
std::string OutlierTests(std::span<const double> values);

// The labels of one normed deviation in a sample of n values: "n.s", "P<0.05" or "P<0.01"
// by the Smirnov and by the Thompson table; below four values always "n.s".
struct OutlierLabels {
  std::string_view smirnov;
  std::string_view thompson;
};
OutlierLabels LabelOutlier(std::size_t n, double normed_deviation);

}  // namespace tallo
