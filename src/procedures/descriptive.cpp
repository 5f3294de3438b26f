#include "procedures/descriptive.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "numeric/summary.h"
#include "text/data_readers.h"
#include "text/number_text.h"

namespace tallo {
namespace {

std::string SingleNumber(double value) { return TrimTrailingZeros(FormatFixed(value)); }

// The statistic of the first data set's values as a single-number answer.
template <typename Statistic>
std::string AnswerOf(DataSets data, Statistic statistic) {
  return SingleNumber(statistic(data[0]->values()));
}

int BinCount(std::size_t n) {
  if (n <= 7) return 3;
  if (n <= 25) return 5;
  if (n <= 40) return 7;
  return 9;
}

// Values per star: 1 up to 80 values, then n / 40.
std::size_t StarScale(std::size_t n) { return n <= 80 ? 1 : n / 40; }

void AppendBin(std::string& report, std::string_view label_pattern, double edge,
               std::size_t count, std::size_t scale) {
  AppendFormat(report, label_pattern, TrimTrailingZeros(FormatGeneral(edge)));
  report.append(count / scale, '*');
  report += "\r\n";
}

}  // namespace

std::string MeanAnswer(DataSets data) { return AnswerOf(data, Mean); }
std::string SumAnswer(DataSets data) { return AnswerOf(data, Sum); }
std::string MaximumAnswer(DataSets data) { return AnswerOf(data, Maximum); }
std::string MinimumAnswer(DataSets data) { return AnswerOf(data, Minimum); }

std::string StandardDeviationAnswer(DataSets data) {
  return AnswerOf(data, [](std::span<const double> x) { return std::sqrt(SampleVariance(x)); });
}

std::string StandardErrorAnswer(DataSets data) {
  return AnswerOf(data, [](std::span<const double> x) {
    return std::sqrt(SampleVariance(x)) / std::sqrt(static_cast<double>(x.size()));
  });
}

std::string CountAnswer(DataSets data) {
  return FormatInteger(static_cast<long long>(data[0]->values().size()));
}

std::string HistogramReport(DataSets data) { return Histogram(data[0]->values()); }

std::string Histogram(std::span<const double> values) {
  std::string report = "--------------------\r\n";
  const std::size_t n = values.size();
  if (n == 0) return report;

  const int bins = BinCount(n);
  const std::size_t scale = StarScale(n);
  const double mean = Mean(values);
  const double width = (Maximum(values) - Minimum(values)) / bins;
  const double half = bins / 2.0;
  // edges[j] for j = 1 .. bins-1; the middle bin of an odd count is centred on the mean.
  std::vector<double> edges(static_cast<std::size_t>(bins));
  for (int j = 1; j < bins; ++j) edges[static_cast<std::size_t>(j)] = mean - (half - j) * width;

  const auto count = [&](auto in_bin) {
    return static_cast<std::size_t>(std::count_if(values.begin(), values.end(), in_bin));
  };
  const std::size_t last = edges.size() - 1;
  AppendBin(report, "< %s\t\t|", edges[1], count([&](double x) { return x < edges[1]; }), scale);
  for (std::size_t j = 1; j < last; ++j) {
    const std::size_t in_bin =
        count([&](double x) { return edges[j] <= x && x < edges[j + 1]; });
    AppendBin(report, ">=%s\t\t|", edges[j], in_bin, scale);
  }
  AppendBin(report, ">=%s\t\t|", edges[last],
            count([&](double x) { return x >= edges[last]; }), scale);
  if (scale > 1) AppendFormat(report, "*=%d\r\n", scale);
  return report;
}

}  // namespace tallo
