#include "procedures/two_sample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "numeric/critical_values.h"
#include "numeric/p_values.h"
#include "numeric/rank_tables.h"
#include "numeric/ranking.h"
#include "numeric/summary.h"
#include "text/data_readers.h"
#include "text/number_text.h"

namespace tallo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The F test of the variances is two-sided at 5%: FCritical's level 5 is its upper 2.5%
// point.
constexpr int kVarianceTestLevel = 5;

std::string_view TLabel(double t, int df) {
  return LabelByCriticalValue(
      t, [df](int level) { return TCritical(df, level); }, kTwoSidedLabels);
}

struct TwoSampleT {
  int df;
  double t;
  bool welch;
};

TwoSampleT StudentOrWelch(std::span<const double> a, std::span<const double> b) {
  const double na = static_cast<double>(a.size());
  const double nb = static_cast<double>(b.size());
  const int df_a = static_cast<int>(a.size()) - 1;
  const int df_b = static_cast<int>(b.size()) - 1;
  const double va = SampleVariance(a);
  const double vb = SampleVariance(b);
  const double mean_difference = std::fabs(MeanSplit(a).Minus(MeanSplit(b)));
  // The larger variance over the smaller, its degrees of freedom first. An undefined
  // variance (fewer than two values) fails every comparison and leads to Welch.
  const bool b_varies_more = va / vb <= 1;
  const double f = b_varies_more ? vb / va : va / vb;
  const double f_critical = b_varies_more ? FCritical(df_b, df_a, kVarianceTestLevel)
                                          : FCritical(df_a, df_b, kVarianceTestLevel);
  if (f <= f_critical) {
    const double pooled_variance =
        (SumSquaredDeviations(a) + SumSquaredDeviations(b)) / (na + nb - 2);
    return {df_a + df_b, mean_difference / std::sqrt((1 / nb + 1 / na) * pooled_variance), false};
  }
  return {WelchDegreesOfFreedom(va, na, vb, nb), mean_difference / std::sqrt(vb / nb + va / na),
          true};
}

// x - y of the pairs of the two data sets.
std::vector<double> PairDifferences(DataSets data) {
  const ValuePairs pairs = PairItems(data[0]->items(), data[1]->items());
  std::vector<double> differences(pairs.x.size());
  for (std::size_t i = 0; i < differences.size(); ++i) differences[i] = pairs.x[i] - pairs.y[i];
  return differences;
}

// Ranks all values together and sums the ranks of group 0 and of group 1.
std::array<double, 2> RankSumsOfGroups(std::vector<double> values, std::vector<int> groups) {
  RankWithTags(values, groups);
  std::array<double, 2> sums = {0, 0};
  for (std::size_t i = 0; i < values.size(); ++i) {
    sums[static_cast<std::size_t>(groups[i])] += values[i];
  }
  return sums;
}

// The two numbers of a sign test: the first two items of the list that are not empty,
// read as atof reads them (no numeric check); a missing one reads 0.
std::array<double, 2> SignTestNumbers(std::string_view text) {
  std::array<double, 2> numbers = {0, 0};
  std::size_t found = 0;
  for (const std::string& item : SplitListItems(text)) {
    if (item.empty()) continue;
    numbers[found++] = ParseReal(item);
    if (found == numbers.size()) break;
  }
  return numbers;
}

bool IsCount(double x) { return std::isfinite(x) && x >= 0 && std::floor(x) == x; }

// 2 P(X >= r) for X binomial with n trials and probability 1/2.
double TwiceUpperBinomialTail(double n, double r) {
  const double each_outcome = PowInt(0.5, static_cast<int>(n));
  double tail = 0;
  for (double k = r; k < n + 1; ++k) tail += BinomialCoefficient(n, k) * each_outcome;
  return 2 * tail;
}

// Up to this total the sign test's probability is exact.
constexpr double kSignTestExactLimit = 30;
constexpr double kSignTestSignificance = 0.05;

}  // namespace

int WelchDegreesOfFreedom(double va, double na, double vb, double nb) {
  const double c = (va / na) / (vb / nb + va / na);
  const double df = 1 / (PowInt(c, 2) / (na - 1) + PowInt(1 - c, 2) / (nb - 1));
  return ParseInteger(FormatFixed(df));
}

std::string TTestReport(DataSets data, const ReportOptions& options) {
  const TwoSampleT result = StudentOrWelch(data[0]->values(), data[1]->values());
  std::string report =
      Format("---T-test Student,Welch-------\r\nDf=%d\tT%s=%f\t%s\r\n", result.df,
             result.welch ? "w" : "s", result.t, TLabel(result.t, result.df));
  AppendPValue(report, options, [&] { return StudentTwoSidedP(result.t, result.df); });
  return report;
}

std::string PairedTTestReport(DataSets data, const ReportOptions& options) {
  const std::vector<double> differences = PairDifferences(data);
  const double n = static_cast<double>(differences.size());
  const double t = std::fabs(Mean(differences) * std::sqrt(n / SampleVariance(differences)));
  const int df = static_cast<int>(differences.size()) - 1;
  std::string report = Format("--- Pair T-Test -------\r\nn=%d\tTo=%f\t%s\r\n",
                              differences.size(), t, TLabel(t, df));
  AppendPValue(report, options, [&] { return StudentTwoSidedP(t, df); });
  return report;
}

std::string MannWhitneyReport(DataSets data, const ReportOptions& options) {
  // Both samples in one array, a's values tagged 0 and b's tagged 1.
  const std::span<const double> a = data[0]->values();
  const std::span<const double> b = data[1]->values();
  std::vector<double> values(a.begin(), a.end());
  const std::size_t a_size = values.size();
  values.insert(values.end(), b.begin(), b.end());
  const std::size_t b_size = b.size();
  std::vector<int> groups(a_size, 0);
  groups.resize(values.size(), 1);
  const std::array<double, 2> rank_sums = RankSumsOfGroups(std::move(values), std::move(groups));
  // The rank sum of the smaller sample; of two equal ones, a's.
  const double ta = b_size < a_size ? rank_sums[1] : rank_sums[0];
  const int n = static_cast<int>(std::min(a_size, b_size));
  const int m = static_cast<int>(std::max(a_size, b_size));
  const std::string_view label = LabelSignificance(
      [&](int level) {
        const RankSumBounds bounds = RankSumCritical(n, m, level);
        return ta <= bounds.lower || ta >= bounds.upper;
      },
      kTwoSidedLabels);
  std::string report =
      Format("--- Mann-Whitney's U-Test ----\r\nn/m=%d/%d \tTa=%0.5f\t%s\r\n", n, m, ta, label);
  AppendPValue(report, options, [&] { return RankSumP(ta, n, m); });
  return report;
}

std::string WilcoxonReport(DataSets data, const ReportOptions& options) {
  std::vector<double> magnitudes;
  std::vector<int> signs;  // 0 for a positive difference, 1 for a negative one
  for (const double difference : PairDifferences(data)) {
    if (difference == 0.0) continue;
    magnitudes.push_back(std::fabs(difference));
    signs.push_back(difference >= 0 ? 0 : 1);
  }
  const int n = static_cast<int>(magnitudes.size());
  const auto [positive, negative] = RankSumsOfGroups(std::move(magnitudes), std::move(signs));
  const double ta = positive < negative ? positive : negative;
  // Below five differences not even the loosest level can be reached.
  const bool too_few = SignedRankCritical(n, kSignificanceLevels.front()) < 0;
  const SignificanceLabels labels = {too_few ? "N is too small." : kTwoSidedLabels.not_significant,
                                     kTwoSidedLabels.reached};
  const std::string_view label =
      LabelSignificance([&](int level) { return ta <= SignedRankCritical(n, level); }, labels);
  std::string report = Format("--- Wilcoxon's Test -----\r\nn=%d\tTa=%f\t%s\r\n", n, ta, label);
  AppendPValue(report, options, [&] { return SignedRankP(ta, n); });
  return report;
}

std::string SignTestReport(DataSets data, const ReportOptions& options) {
  const auto [first, second] = SignTestNumbers(data[0]->text());
  const double n = std::max(first, second);
  double r = std::min(first, second);
  if (n - r > r) r = n - r;  // the larger of the two counts
  // Negative or fractional counts have no binomial probability.
  const bool counts = IsCount(first) && IsCount(second);

  std::string report = "---Sign Test--------\r\n";
  AppendFormat(report, "Total n=%0.0f, r=%0.0f, n-r=%0.0f\r\n", n, r, n - r);
  if (n > kSignTestExactLimit) {
    // Normal approximation with continuity correction.
    const double z = counts ? ((r - 0.5) - n / 2) / (std::sqrt(n) / 2) : kNaN;
    AppendFormat(report, "Z=%f\t%s\r\n", z,
                 LabelByCriticalValue(z, NormalCritical, kTwoSidedLabels));
    AppendPValue(report, options, [&] { return FairCoinTwoSidedP(n, r); });
    return report;
  }
  const double p = counts ? TwiceUpperBinomialTail(n, r) : kNaN;
  // When r is exactly half of n both tails hold the middle term, and twice the tail
  // exceeds 1.
  if (p > 1.0) {
    report += "P=1.0\t";
  } else {
    AppendFormat(report, "P=%f\t", p);
  }
  report += p <= kSignTestSignificance ? "Significant\r\n" : "n.s\r\n";
  AppendPValue(report, options, [&] { return FairCoinTwoSidedP(n, r); });
  return report;
}

}  // namespace tallo
