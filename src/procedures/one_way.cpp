#include "procedures/one_way.h"

#include <cmath>
#include <numeric>
#include <span>
#include <vector>

#include "numeric/duncan_range.h"
#include "numeric/p_values.h"
#include "numeric/ranking.h"
#include "numeric/summary.h"
#include "procedures/design_report.h"
#include "text/number_text.h"

namespace tallo {
namespace {

// One-sided F labels of the one-way table, all seven characters long.
constexpr SignificanceLabels kFLabels = {"n.s", {"P<0.05 ", "P<0.025", "P<0.01 ", "P<0.005"}};

double Size(const std::vector<double>& group) { return static_cast<double>(group.size()); }

// The sums of a one-way layout, each from deviations: the groups' totals about the grand
// mean and each group's squares about its own mean, so values far from zero relative to
// their spread keep their digits. Nothing is guarded: an empty group or a group of one
// value makes the quantities that divide by its size or its degrees of freedom undefined.
struct OneWaySums {
  std::vector<double> group_sizes;    // n_c
  std::vector<double> centred_sums;   // S_c - n_c m, m the grand mean
  double count = 0;                   // N
  double treatment_squares = 0;       // sum of n_c (mean_c - m)^2
  double error_squares = 0;           // sum over the groups of their squared deviations
  double total_squares = 0;           // squared deviations of all values from m
  double error_df = 0;                // sum of (n_c - 1)
  double pooled_sum = 0;              // sum of (n_c - 1) v_c
  double log_variances = 0;           // sum of (n_c - 1) log10 v_c
  double inverse_dfs = 0;             // sum of 1 / (n_c - 1)

  explicit OneWaySums(const std::vector<std::vector<double>>& groups) {
    std::vector<double> all;
    for (const std::vector<double>& group : groups) all.insert(all.end(), group.begin(), group.end());
    // Deviations from the grand mean to its last bit add up to 0, so the treatment sum is
    // a sum of squares alone and never negative.
    const SplitMean grand_mean = MeanSplit(all);
    total_squares = SumSquaredDeviations(all);
    CompensatedSum between;
    CompensatedSum within;
    for (const std::vector<double>& group : groups) {
      const double n = Size(group);
      CompensatedSum centred;
      for (double x : group) centred.Add(grand_mean.Deviation(x));
      const double variance = SampleVariance(group);
      group_sizes.push_back(n);
      centred_sums.push_back(centred.Value());
      count += n;
      between.Add(PowInt(centred.Value(), 2) / n);
      within.Add(SumSquaredDeviations(group));
      error_df += n - 1;
      pooled_sum += (n - 1) * variance;
      log_variances += (n - 1) * std::log10(variance);
      inverse_dfs += 1 / (n - 1);
    }
    treatment_squares = between.Value();
    error_squares = within.Value();
  }

  double CentredMean(std::size_t group) const { return centred_sums[group] / group_sizes[group]; }
};

void AppendBartlett(std::string& report, const OneWaySums& sums, int groups,
                    const ReportOptions& options) {
  const double pooled_variance = sums.pooled_sum / sums.error_df;
  // Natural logarithms through log10: ln x = 2.3026 log10 x.
  const double difference =
      (sums.error_df * std::log10(pooled_variance) - sums.log_variances) * 2.3026;
  // The log of the pooled variance is at least the weighted mean of the groups' logs, so m
  // is never below 0; equal variances leave a rounding just below it, printed "-0.000000".
  const double m = difference > 0 || std::isnan(difference) ? difference : 0.0;
  const double c = (sums.inverse_dfs - 1 / sums.error_df) / (3.0 * (groups - 1)) + 1;
  const double chi_square = m / c;
  report += "--- Bartlett's Test -----------------------------------------\r\n";
  AppendFormat(report, "m:%f\tc:%f\tX2cal=%f\t%s\r\n", m, c, chi_square,
               ChiSquareLabel(chi_square, groups - 1));
  AppendPValue(report, options, [&] { return ChiSquareUpperP(chi_square, groups - 1); });
}

// Fisher's least significant difference for every pair of groups in column order.
void AppendLeastSignificantDifferences(std::string& report,
                                       std::span<const std::string_view> labels,
                                       const OneWaySums& sums, double error_mean_square,
                                       int error_df, const ReportOptions& options) {
  report += "--- Fisher's Least Significant Difference Test ----\r\n";
  const std::size_t k = labels.size();
  for (std::size_t i = 0; i < k; ++i) {
    const double n_i = sums.group_sizes[i];
    const double s_i = sums.centred_sums[i];
    for (std::size_t j = i + 1; j < k; ++j) {
      const double n_j = sums.group_sizes[j];
      const double s_j = sums.centred_sums[j];
      // The squared difference of the means over MSerr (1/n_i + 1/n_j); the grand mean
      // taken out of both sums cancels.
      const double ratio =
          PowInt(n_i * s_j - n_j * s_i, 2) / (n_i * n_j * (n_i + n_j)) / error_mean_square;
      AppendFormat(report, "%s\t%s\tFcal=%f\t%s\r\n", labels[i], labels[j], ratio,
                   FRatioLabel(ratio, 1, error_df, kFLabels));
      AppendPValue(report, options, [&] { return FUpperP(ratio, 1, error_df); });
    }
  }
}

}  // namespace

std::string OneWayAnovaReport(DataSets data, const ReportOptions& options) {
  const CellGrid& grid = data[0]->table();
  const DesignGroups groups = ReadDesignGroups(grid);
  const OneWaySums sums(groups.values);
  const int k = static_cast<int>(groups.values.size());
  const int treatment_df = k - 1;
  const int error_df = static_cast<int>(sums.error_df);

  std::string report = "--- One Way ANOVA -------\r\n";
  AppendLabelLine(report, "FACTOR", groups.labels);
  AppendBartlett(report, sums, k, options);

  const double treatment_mean_square = sums.treatment_squares / treatment_df;
  const double error_mean_square = sums.error_squares / sums.error_df;
  const double ratio = treatment_mean_square / error_mean_square;
  const std::string_view label = FRatioLabel(ratio, treatment_df, error_df, kFLabels);
  report += "---ANOVA Table------------------------------------------\r\n";
  report += "SOURCE\t\tSUM OF SQUARES | DF | MEAN OF SQUARES | F RATIO\r\n";
  AppendFormat(report, "TREATMENTS\t%f  %d  %f  %f\r\n", sums.treatment_squares, treatment_df,
               treatment_mean_square, ratio);
  AppendFormat(report, "ERROR\t\t%f  %d  %f\r\n", sums.error_squares, error_df, error_mean_square);
  AppendFormat(report, "ADJ TOTAL\t%f  %d\r\n", sums.total_squares,
               static_cast<int>(sums.count) - 1);
  report += "------------------------------------------------------\r\n";
  AppendFormat(report, "PROBABILITY\t%s\r\n", label);
  AppendPValue(report, options, [&] { return FUpperP(ratio, treatment_df, error_df); });

  // The pairs are compared only when the groups differ as a whole.
  if (label != kFLabels.not_significant) {
    AppendLeastSignificantDifferences(report, groups.labels, sums, error_mean_square, error_df,
                                      options);
  }
  return report;
}

std::string KruskalWallisReport(DataSets data, const ReportOptions& options) {
  const CellGrid& grid = data[0]->table();
  const DesignGroups groups = ReadDesignGroups(grid);
  const std::size_t k = groups.values.size();

  // All values in one ranking, each tagged with its group.
  std::size_t total = 0;
  for (const std::vector<double>& group : groups.values) total += group.size();
  std::vector<double> ranks;
  std::vector<int> tags;
  ranks.reserve(total);
  tags.reserve(total);
  for (std::size_t c = 0; c < k; ++c) {
    ranks.insert(ranks.end(), groups.values[c].begin(), groups.values[c].end());
    tags.insert(tags.end(), groups.values[c].size(), static_cast<int>(c));
  }
  RankWithTags(ranks, tags);

  std::vector<double> rank_sums(k, 0.0);
  for (std::size_t i = 0; i < ranks.size(); ++i) {
    rank_sums[static_cast<std::size_t>(tags[i])] += ranks[i];
  }
  // Sum of R_c^2 / m_c - N (N + 1)^2 / 4 over the groups that have values, taken as the
  // squared deviations of the mean ranks from (N + 1) / 2: no difference of large sums.
  const double n = static_cast<double>(ranks.size());
  double between = 0;
  for (std::size_t c = 0; c < k; ++c) {
    const double m = Size(groups.values[c]);
    if (m > 0) between += m * PowInt(rank_sums[c] / m - (n + 1) / 2, 2);
  }

  // Ties: t^3 - t for every run of t equal ranks; the ranks are in ascending order.
  double ties = 0;
  for (std::size_t start = 0; start < ranks.size();) {
    std::size_t end = start + 1;
    while (end < ranks.size() && ranks[end] == ranks[start]) ++end;
    const double run = static_cast<double>(end - start);
    ties += PowInt(run, 3) - run;
    start = end;
  }

  const double uncorrected = 12 / (n * (n + 1)) * between;
  const double h = uncorrected / (1 - ties / (PowInt(n, 3) - n));
  const int df = static_cast<int>(k) - 1;

  std::string report = "--- Kruskal-Wallis Test -------------------------\r\n";
  AppendLabelLine(report, "FACTOR", groups.labels);
  AppendFormat(report, "H=%f\tT=%f\tDf=%d\t%s\r\n", h, ties, df, ChiSquareLabel(h, df));
  AppendPValue(report, options, [&] { return ChiSquareUpperP(h, df); });
  return report;
}

std::string DuncanReport(DataSets data) {
  const CellGrid& grid = data[0]->table();
  const DesignGroups groups = ReadDesignGroups(grid);
  const OneWaySums sums(groups.values);
  const double error_mean_square = sums.error_squares / sums.error_df;
  const int error_df = static_cast<int>(sums.error_df);
  const std::size_t k = groups.values.size();

  // The groups in ascending order of their means, each less the grand mean: the differences
  // of those keep every digit of the spread.
  std::vector<double> means;
  std::vector<int> order(k);
  for (std::size_t c = 0; c < k; ++c) means.push_back(sums.CentredMean(c));
  std::iota(order.begin(), order.end(), 0);
  SortWithTags(means, order);

  std::string report = "--- Duncan's multiple range test --------------------\r\n";
  for (std::size_t i = 0; i < k; ++i) {
    const std::size_t first = static_cast<std::size_t>(order[i]);
    for (std::size_t j = i + 1; j < k; ++j) {
      const std::size_t second = static_cast<std::size_t>(order[j]);
      const int spanned = static_cast<int>(j - i + 1);
      const double n_i = sums.group_sizes[first];
      const double n_j = sums.group_sizes[second];
      const double standard_error =
          std::sqrt((n_i + n_j) / (2 * n_i * n_j)) * std::sqrt(error_mean_square);
      const double difference = std::fabs(means[i] - means[j]);
      // Ranges exist at the 5% and 1% levels only; the others give nan and are never
      // reached.
      const std::string_view label = LabelByCriticalValue(
          difference,
          [&](int level) { return DuncanRange(error_df, spanned, level) * standard_error; },
          kTwoSidedLabels);
      AppendFormat(report, "%s\t%s\td=%f\t%s\r\n", groups.labels[first], groups.labels[second],
                   difference, label);
    }
  }
  return report;
}

}  // namespace tallo
