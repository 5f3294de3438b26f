#include "procedures/outliers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "numeric/critical_values.h"
#include "numeric/summary.h"
#include "text/data_readers.h"
#include "text/number_text.h"

namespace tallo {
namespace {

// Critical normed deviations at 5% and 1% for samples of 4 to 25 values; the row of 25
// serves every larger sample.
struct OutlierCriticalRow {
  double smirnov5, smirnov1, thompson5, thompson1;
};
constexpr std::size_t kFirstTabulatedN = 4;
constexpr std::size_t kLastTabulatedN = 25;
// clang-format off
constexpr std::array<OutlierCriticalRow, kLastTabulatedN - kFirstTabulatedN + 1> kCritical = {{
    {1.69, 1.72, 1.65, 1.71},  // n = 4
    {1.86, 1.96, 1.76, 1.92},
    {2.0, 2.13, 1.81, 2.05},
    {2.09, 2.27, 1.85, 2.14},
    {2.17, 2.37, 1.87, 2.21},
    {2.24, 2.46, 1.88, 2.26},
    {2.29, 2.54, 1.89, 2.29},  // n = 10
    {2.34, 2.61, 1.9, 2.32},
    {2.39, 2.66, 1.91, 2.35},
    {2.43, 2.71, 1.92, 2.37},
    {2.46, 2.76, 1.92, 2.38},
    {2.49, 2.8, 1.92, 2.4},    // n = 15
    {2.52, 2.84, 1.93, 2.41},
    {2.55, 2.87, 1.93, 2.42},
    {2.58, 2.9, 1.93, 2.43},
    {2.6, 2.93, 1.93, 2.44},
    {2.62, 2.96, 1.93, 2.45},  // n = 20
    {2.64, 2.98, 1.94, 2.45},
    {2.66, 3.01, 1.94, 2.46},
    {2.68, 3.03, 1.94, 2.47},
    {2.7, 3.05, 1.94, 2.47},
    {2.72, 3.07, 1.94, 2.47},  // n = 25 and more
}};
// clang-format on

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Labels a normed deviation by one pair of table values.
std::string_view LabelByTable(double normed_deviation, double at5, double at1) {
  const auto critical = [&](int level) {
    if (level == 5) return at5;
    if (level == 1) return at1;
    return kNaN;  // the tables have no 10% and 2% values
  };
  return LabelByCriticalValue(normed_deviation, critical, kTwoSidedLabels);
}

}  // namespace

OutlierLabels LabelOutlier(std::size_t n, double normed_deviation) {
  if (n < kFirstTabulatedN) {
    return {kTwoSidedLabels.not_significant, kTwoSidedLabels.not_significant};
  }
  const OutlierCriticalRow& row = kCritical[std::min(n, kLastTabulatedN) - kFirstTabulatedN];
  return {LabelByTable(normed_deviation, row.smirnov5, row.smirnov1),
          LabelByTable(normed_deviation, row.thompson5, row.thompson1)};
}

std::string OutlierTests(std::span<const double> values) {
  const SplitMean mean = MeanSplit(values);
  const double sd = std::sqrt(PopulationVariance(values));
  std::string report = "---Smirnov's Test & Thompson's Test----\r\n\t\tTo=\tSmirnov\tThompson\r\n";
  for (double x : values) {
    const double normed_deviation = std::fabs(mean.Deviation(x)) / sd;
    const OutlierLabels labels = LabelOutlier(values.size(), normed_deviation);
    AppendFormat(report, "%0.3f\t\t%0.2f\t%s\t%s\r\n", x, normed_deviation, labels.smirnov,
                 labels.thompson);
  }
  AppendFormat(report, "mean=%0.3f\tsd=%0.3f\r\n", mean.high, sd);
  return report;
}

std::string SmirnovReport(DataSets data) { return OutlierTests(data[0]->values()); }

}  // namespace tallo
