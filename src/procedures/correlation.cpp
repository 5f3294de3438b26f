#include "procedures/correlation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "numeric/critical_values.h"
#include "numeric/p_values.h"
#include "numeric/rank_distributions.h"
#include "numeric/ranking.h"
#include "numeric/summary.h"
#include "text/data_readers.h"
#include "text/number_text.h"

namespace tallo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Calls on_run(t) for every run of t consecutive positions of 0..n-1 that are the same as
// their predecessor by same(i - 1, i); single positions are runs of 1.
template <typename Same, typename OnRun>
void ForEachRun(std::size_t n, Same same, OnRun on_run) {
  std::size_t length = 1;
  for (std::size_t i = 1; i <= n; ++i) {
    if (i < n && same(i - 1, i)) {
      ++length;
    } else {
      on_run(length);
      length = 1;
    }
  }
}

// Pairs of positions holding equal values in sorted values: t(t - 1)/2 per run of t.
long long TiedPairs(std::span<const double> sorted) {
  long long pairs = 0;
  ForEachRun(
      sorted.size(), [&](std::size_t i, std::size_t j) { return sorted[i] == sorted[j]; },
      [&](std::size_t t) { pairs += static_cast<long long>(t * (t - 1) / 2); });
  return pairs;
}

// Spearman's tie correction of sorted ranks: (t^3 - t)/12 per run of t equal ranks.
double SpearmanTieSum(std::span<const double> sorted_ranks) {
  double sum = 0;
  ForEachRun(
      sorted_ranks.size(),
      [&](std::size_t i, std::size_t j) { return sorted_ranks[i] == sorted_ranks[j]; },
      [&](std::size_t t) {
        sum += (PowIntInt(static_cast<int>(t), 3) - static_cast<double>(t)) / 12;
      });
  return sum;
}

// Sorts values ascending by merging runs of doubling width and returns how many pairs
// i < j held values[i] > values[j].
long long SortCountingInversions(std::vector<double>& values) {
  const std::size_t n = values.size();
  std::vector<double> merged(n);
  long long inversions = 0;
  for (std::size_t width = 1; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      const std::size_t mid = std::min(lo + width, n);
      const std::size_t hi = std::min(lo + 2 * width, n);
      std::size_t left = lo;
      std::size_t right = mid;
      std::size_t out = lo;
      while (left < mid && right < hi) {
        if (values[right] < values[left]) {
          // values[right] is below every value still waiting on the left.
          inversions += static_cast<long long>(mid - left);
          merged[out++] = values[right++];
        } else {
          merged[out++] = values[left++];
        }
      }
      out = std::copy(values.begin() + static_cast<std::ptrdiff_t>(left),
                      values.begin() + static_cast<std::ptrdiff_t>(mid),
                      merged.begin() + static_cast<std::ptrdiff_t>(out)) -
            merged.begin();
      std::copy(values.begin() + static_cast<std::ptrdiff_t>(right),
                values.begin() + static_cast<std::ptrdiff_t>(hi),
                merged.begin() + static_cast<std::ptrdiff_t>(out));
    }
    values.swap(merged);
  }
  return inversions;
}

// The strictest level sptest may report for n pairs: 1 from six pairs on, 2 for five, 10
// for four; below four no level is tested (0).
int StrictestSpearmanLevel(std::size_t n) {
  if (n >= 6) return 1;
  if (n == 5) return 2;
  if (n == 4) return 10;
  return 0;
}

// The two-sided p-value of a correlation coefficient r over df = n - 2 degrees of freedom,
// by t = r sqrt(df / (1 - r^2)); a coefficient of +-1 is beyond every t.
double CorrelationP(double r, int df) {
  return StudentTwoSidedP(std::fabs(r) * std::sqrt(df / std::max(0.0, 1 - r * r)), df);
}

// Up to this many pairs without ties Kendall's p-value comes from the exact distribution.
constexpr int kKendallExactLargest = 49;

}  // namespace

KendallCounts CountKendallPairs(std::span<const double> x, std::span<const double> y) {
  const std::size_t n = std::min(x.size(), y.size());
  std::vector<std::pair<double, double>> pairs(n);
  for (std::size_t i = 0; i < n; ++i) pairs[i] = {x[i], y[i]};
  // Ordered by x, and by y within equal x: every later pair with a smaller y is then
  // discordant, and no pair tied in x is an inversion.
  std::sort(pairs.begin(), pairs.end());
  std::vector<double> sorted_x(n);
  std::vector<double> ys(n);
  for (std::size_t i = 0; i < n; ++i) {
    sorted_x[i] = pairs[i].first;
    ys[i] = pairs[i].second;
  }
  long long tied_in_both = 0;
  ForEachRun(
      n, [&](std::size_t i, std::size_t j) { return pairs[i] == pairs[j]; },
      [&](std::size_t t) { tied_in_both += static_cast<long long>(t * (t - 1) / 2); });
  const long long discordant = SortCountingInversions(ys);

  KendallCounts counts;
  counts.x_tied_pairs = TiedPairs(sorted_x);
  counts.y_tied_pairs = TiedPairs(ys);
  const long long all = n > 0 ? static_cast<long long>(n * (n - 1) / 2) : 0;
  // Concordant pairs are those left after the ties and the discordant ones; pairs tied in
  // both x and y were subtracted twice.
  const long long concordant =
      all - counts.x_tied_pairs - counts.y_tied_pairs + tied_in_both - discordant;
  counts.score = concordant - discordant;
  return counts;
}

std::string PearsonReport(DataSets data, const ReportOptions& options) {
  const ValuePairs pairs = PairItems(data[0]->items(), data[1]->items());
  const std::size_t n = pairs.x.size();
  // Every sum from deviations about the means: data far from zero keep their digits.
  const double sxx = SumSquaredDeviations(pairs.x);
  const double syy = SumSquaredDeviations(pairs.y);
  const double sxy = SumCrossDeviations(pairs.x, pairs.y);
  const double r = sxy / (std::sqrt(sxx) * std::sqrt(syy));

  // The least-squares line of y on x and its F ratio with 1 and n - 2 df; the residual sum
  // is taken from the residuals themselves, since syy - sxy^2/sxx cancels on a close fit.
  const double count = static_cast<double>(n);
  const double mx = Mean(pairs.x);
  const double my = Mean(pairs.y);
  const double slope = sxy / sxx;
  const double intercept = my - slope * mx;
  CompensatedSum residual_ss;
  for (std::size_t i = 0; i < n; ++i) {
    residual_ss.Add(PowInt((pairs.y[i] - my) - slope * (pairs.x[i] - mx), 2));
  }
  const double regression_ss = sxy * sxy / sxx;
  const double f = regression_ss / (residual_ss.Value() / (count - 2));

  const int df = static_cast<int>(n) - 2;
  const std::string_view label = LabelByCriticalValue(
      std::fabs(r), [df](int level) { return RCritical(df, level); }, kTwoSidedLabels);
  const std::string_view mark = f > FCritical(1, df, 5) ? "( * )" : " ";

  std::string report = "---Pearson's Correlation------\r\n";
  AppendFormat(report, "n=%d\tr=%f\t%s\r\n", n, r, label);
  AppendPValue(report, options, [&] { return CorrelationP(r, df); });
  AppendFormat(report, "Y=(%f)X+(%f)\t%s\r\n", slope, intercept, mark);
  AppendPValue(report, options, [&] { return FUpperP(f, 1, df); });
  return report;
}

std::string SpearmanReport(DataSets data, const ReportOptions& options) {
  ValuePairs pairs = PairItems(data[0]->items(), data[1]->items());
  std::vector<double>& x = pairs.x;
  std::vector<double>& y = pairs.y;
  const std::size_t n = x.size();
  // Each variable's ties are counted while its own ranks are in order.
  RankWithCompanion(y, x);
  const double y_ties = SpearmanTieSum(y);
  RankWithCompanion(x, y);
  const double x_ties = SpearmanTieSum(x);
  double d = 0;
  for (std::size_t i = 0; i < n; ++i) d += PowInt(x[i] - y[i], 2);

  const int count = static_cast<int>(n);
  const double untied = (PowIntInt(count, 3) - count) / 12;
  const double kx = untied - x_ties;
  const double ky = untied - y_ties;
  const double rs = (kx + ky - d) / (2 * std::sqrt(kx * ky));
  const double t = rs * rs == 1.0 ? 100.0 : std::fabs(rs * std::sqrt((count - 2) / (1 - rs * rs)));

  const int strictest = StrictestSpearmanLevel(n);
  const std::string_view label = LabelSignificance(
      [&](int level) {
        return strictest != 0 && level >= strictest && t >= TCritical(count - 2, level);
      },
      kTwoSidedLabels);

  std::string report = "--- Spearman's Correlation ------\r\n";
  AppendFormat(report, "n=%d\trs=%f\t%s\r\n", n, rs, label);
  // Without ties, small samples have the exact distribution of the squared rank differences.
  const bool exact = count <= kSpearmanExactLargest && x_ties == 0 && y_ties == 0;
  AppendPValue(report, options,
               [&] { return exact ? SpearmanExactP(d, count) : CorrelationP(rs, count - 2); });
  return report;
}

std::string KendallReport(DataSets data, const ReportOptions& options) {
  const ValuePairs pairs = PairItems(data[0]->items(), data[1]->items());
  const KendallCounts counts = CountKendallPairs(pairs.x, pairs.y);
  const double n = static_cast<double>(pairs.x.size());
  const double s = static_cast<double>(counts.score);
  const double ordered_pairs = n * (n - 1);
  // Each tie sum counts the ordered pairs tied, t(t - 1) per run of t.
  const double x_ties = 2 * static_cast<double>(counts.x_tied_pairs);
  const double y_ties = 2 * static_cast<double>(counts.y_tied_pairs);
  const double tau =
      2 * s / (std::sqrt(ordered_pairs - x_ties) * std::sqrt(ordered_pairs - y_ties));
  const double z = std::fabs(s / std::sqrt((2 * n + 5) * ordered_pairs / 18));

  std::string report = "---Kendall's Correlation ------\r\n";
  AppendFormat(report, "n=%d\ttau=%f\t%s\r\n", pairs.x.size(), tau,
               LabelByCriticalValue(z, NormalCritical, kTwoSidedLabels));
  // Without ties, small samples have the exact distribution of the discordant pairs.
  const bool exact = n <= kKendallExactLargest && x_ties == 0 && y_ties == 0;
  AppendPValue(report, options, [&] {
    return exact ? KendallExactP((ordered_pairs / 2 - s) / 2, static_cast<int>(n))
                 : NormalTwoSidedP(z);
  });
  return report;
}

std::string CorrelationDifferenceReport(DataSets data, const ReportOptions& options) {
  const CellGrid& grid = data[0]->table();
  const double na = CellValue(grid, 1, 1);
  const double ra = CellValue(grid, 1, 2);
  const double nb = CellValue(grid, 2, 1);
  const double rb = CellValue(grid, 2, 2);
  const double za = std::log((1 + ra) / (1 - ra)) / 2;
  const double zb = std::log((1 + rb) / (1 - rb)) / 2;
  // The variance 1/(n - 3) of z needs more than three pairs in each sample.
  const double z =
      na > 3 && nb > 3 ? std::fabs(za - zb) / std::sqrt(1 / (na - 3) + 1 / (nb - 3)) : kNaN;
  const std::string_view label =
      LabelSignificance([z](int level) { return z > NormalCritical(level); }, kTwoSidedLabels);

  std::string report = "---Test of difference between Pearson's R ----\r\n";
  const std::size_t cells = grid.data_columns() + 1;
  for (std::size_t row = 0; row < grid.rows(); ++row) {
    const std::vector<std::string_view> row_cells = grid.RowCells(row);
    for (std::size_t column = 0; column < cells; ++column) {
      AppendFormat(report, "%s\t", column < row_cells.size() ? row_cells[column] : "");
    }
    report += "\r\n";
  }
  AppendFormat(report, "Z=%f\t%s\r\n", z, label);
  AppendPValue(report, options, [&] { return NormalTwoSidedP(z); });
  return report;
}

}  // namespace tallo
