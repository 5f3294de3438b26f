#include "procedures/two_way.h"

#include <numeric>
#include <optional>
#include <span>
#include <vector>

#include "numeric/p_values.h"
#include "numeric/ranking.h"
#include "numeric/summary.h"
#include "procedures/design_report.h"
#include "text/number_text.h"

namespace tallo {
namespace {

// One-sided F labels of the two-way table, without trailing blanks.
constexpr SignificanceLabels kFLabels = {"n.s", {"P<0.05", "P<0.025", "P<0.01", "P<0.005"}};

// The factor A and factor B lines list at most this many labels.
constexpr std::size_t kLabelsShown = 8;

// The observations x[r][c], kept by column, with the labels of both factors.
struct TwoWayTable {
  std::vector<std::string_view> column_labels;  // factor A
  std::vector<std::string_view> row_labels;     // factor B
  std::vector<std::vector<double>> columns;

  std::size_t column_count() const { return columns.size(); }
  std::size_t row_count() const { return row_labels.size(); }
  double at(std::size_t row, std::size_t column) const { return columns[column][row]; }
};

// The table, or nothing when its data columns hold different numbers of values: a cell
// missing from a column has no value to stand in for it.
std::optional<TwoWayTable> ReadTwoWayTable(const CellGrid& grid) {
  DesignGroups groups = ReadDesignGroups(grid);
  const std::size_t rows = groups.values.empty() ? 0 : groups.values.back().size();
  for (const std::vector<double>& column : groups.values) {
    if (column.size() != rows) return std::nullopt;
  }
  return TwoWayTable{std::move(groups.labels), ReadRowLabels(grid, rows), std::move(groups.values)};
}

// Title, then the body written by write_body for a table of even columns.
template <typename WriteBody>
std::string TwoWayReport(DataSets data, std::string_view title, WriteBody write_body) {
  const CellGrid& grid = data[0]->table();
  std::string report(title);
  if (const std::optional<TwoWayTable> table = ReadTwoWayTable(grid)) {
    write_body(*table, report);
  } else {
    report += "Every column must hold the same number of values.\r\n";
  }
  return report;
}

void AppendFactorLines(std::string& report, const TwoWayTable& table) {
  AppendLabelLine(report, "FACTOR A", table.column_labels, kLabelsShown);
  AppendLabelLine(report, "FACTOR B", table.row_labels, kLabelsShown);
}

// The sums over rows (R_r) and over columns (C_c).
struct MarginalSums {
  std::vector<double> rows;
  std::vector<double> columns;
};

MarginalSums SumMargins(const TwoWayTable& table) {
  MarginalSums sums{std::vector<double>(table.row_count(), 0.0), {}};
  for (const std::vector<double>& column : table.columns) {
    sums.columns.push_back(Sum(column));
    for (std::size_t r = 0; r < column.size(); ++r) sums.rows[r] += column[r];
  }
  return sums;
}

// The sums of squares of a two-way table with one value per cell, each from deviations
// about the grand mean m: of the column means, of the row means, of the residuals
// x - row mean - column mean + m, and of the values themselves. Data far from zero relative
// to their spread keep their digits, and no sum can come out negative.
struct TwoWaySquares {
  double columns = 0;  // factor A
  double rows = 0;     // factor B
  double error = 0;
  double total = 0;
};

TwoWaySquares SumTwoWaySquares(const TwoWayTable& table) {
  const std::size_t a = table.column_count();
  const std::size_t n = table.row_count();
  std::vector<double> all;
  for (const std::vector<double>& column : table.columns) {
    all.insert(all.end(), column.begin(), column.end());
  }
  // Deviations from the grand mean to its last bit: their row and column means are the
  // effects of the levels.
  const SplitMean grand_mean = MeanSplit(all);
  std::vector<CompensatedSum> row_sums(n);
  std::vector<CompensatedSum> column_sums(a);
  for (std::size_t c = 0; c < a; ++c) {
    for (std::size_t r = 0; r < n; ++r) {
      row_sums[r].Add(grand_mean.Deviation(table.at(r, c)));
      column_sums[c].Add(grand_mean.Deviation(table.at(r, c)));
    }
  }
  std::vector<double> row_effects(n);
  std::vector<double> column_effects(a);
  CompensatedSum rows;
  CompensatedSum columns;
  for (std::size_t r = 0; r < n; ++r) {
    row_effects[r] = row_sums[r].Value() / static_cast<double>(a);
    rows.Add(static_cast<double>(a) * PowInt(row_effects[r], 2));
  }
  for (std::size_t c = 0; c < a; ++c) {
    column_effects[c] = column_sums[c].Value() / static_cast<double>(n);
    columns.Add(static_cast<double>(n) * PowInt(column_effects[c], 2));
  }
  CompensatedSum error;
  for (std::size_t c = 0; c < a; ++c) {
    for (std::size_t r = 0; r < n; ++r) {
      const double residual =
          grand_mean.Deviation(table.at(r, c)) - row_effects[r] - column_effects[c];
      error.Add(PowInt(residual, 2));
    }
  }
  return {columns.Value(), rows.Value(), error.Value(), SumSquaredDeviations(all)};
}

// Mid-ranks of values, added to the rank sum of the level each value belongs to.
void AddRanks(std::vector<double> values, std::span<double> rank_sums) {
  std::vector<int> levels(values.size());
  std::iota(levels.begin(), levels.end(), 0);
  RankWithTags(values, levels);
  for (std::size_t i = 0; i < values.size(); ++i) {
    rank_sums[static_cast<std::size_t>(levels[i])] += values[i];
  }
}

struct FriedmanResult {
  double deviations;  // S
  double chi_square;
  int df;
};

// Friedman's statistic for t treatments from their rank sums, each treatment ranked within
// b blocks: 12 S / (t (t + 1) b), S the sum of squared deviations of the rank sums. Ties
// keep their mid-ranks and no correction is made for them.
FriedmanResult Friedman(std::span<const double> rank_sums, std::size_t blocks) {
  const double treatments = static_cast<double>(rank_sums.size());
  const double deviations = SumOfSquares(rank_sums) - PowInt(Sum(rank_sums), 2) / treatments;
  return {deviations,
          12 * deviations / ((treatments + 1) * treatments * static_cast<double>(blocks)),
          static_cast<int>(rank_sums.size()) - 1};
}

void AppendFriedmanLine(std::string& report, std::string_view factor,
                        const FriedmanResult& result, const ReportOptions& options) {
  AppendFormat(report, "%s\tS=%f\tX2=%f\tDf=%d\t%s\r\n", factor, result.deviations,
               result.chi_square, result.df, ChiSquareLabel(result.chi_square, result.df));
  AppendPValue(report, options, [&] { return ChiSquareUpperP(result.chi_square, result.df); });
}

// Cochran's Q for t treatments from the grand total and the sums of the squared treatment
// totals and of the squared block totals.
double CochranQ(double treatments, double total, double treatment_squares, double block_squares) {
  return (treatments - 1) * (treatments * treatment_squares - PowInt(total, 2)) /
         (treatments * total - block_squares);
}

}  // namespace

std::string TwoWayAnovaReport(DataSets data, const ReportOptions& options) {
  return TwoWayReport(
      data, "--- Two Way ANOVA -------------------------------\r\n",
      [&options](const TwoWayTable& table, std::string& report) {
        const TwoWaySquares squares = SumTwoWaySquares(table);
        const double total_ss = squares.total;
        const double a_ss = squares.columns;
        const double b_ss = squares.rows;
        const double error_ss = squares.error;
        const int a_df = static_cast<int>(table.column_count()) - 1;
        const int b_df = static_cast<int>(table.row_count()) - 1;
        const int error_df = a_df * b_df;
        const int total_df = static_cast<int>(table.column_count() * table.row_count()) - 1;
        const double a_ms = a_ss / a_df;
        const double b_ms = b_ss / b_df;
        const double error_ms = error_ss / error_df;
        const double a_ratio = a_ms / error_ms;
        const double b_ratio = b_ms / error_ms;

        AppendFactorLines(report, table);
        report += "------------------------------------------------------\r\n";
        report += "FACTOR\tSUM OF SQUARES | DF | MEAN OF SQURES | F RATIO | PROBABILITY\r\n";
        AppendFormat(report, "  A   \t%f  %d  %f  %f  %s\r\n", a_ss, a_df, a_ms, a_ratio,
                     FRatioLabel(a_ratio, a_df, error_df, kFLabels));
        AppendPValue(report, options, [&] { return FUpperP(a_ratio, a_df, error_df); });
        AppendFormat(report, "  B   \t%f  %d  %f  %f  %s\r\n", b_ss, b_df, b_ms, b_ratio,
                     FRatioLabel(b_ratio, b_df, error_df, kFLabels));
        AppendPValue(report, options, [&] { return FUpperP(b_ratio, b_df, error_df); });
        AppendFormat(report, "ERROR \t%f  %d  %f\r\n", error_ss, error_df, error_ms);
        AppendFormat(report, "TOTAL \t%f  %d\r\n", total_ss, total_df);
      });
}

std::string FriedmanReport(DataSets data, const ReportOptions& options) {
  return TwoWayReport(
      data, "--- Friedman Test --------------------------------\r\n",
      [&options](const TwoWayTable& table, std::string& report) {
        // Factor B: the rows ranked within each column; factor A: the columns within each row.
        std::vector<double> row_rank_sums(table.row_count(), 0.0);
        for (const std::vector<double>& column : table.columns) AddRanks(column, row_rank_sums);
        std::vector<double> column_rank_sums(table.column_count(), 0.0);
        std::vector<double> row(table.column_count());
        for (std::size_t r = 0; r < table.row_count(); ++r) {
          for (std::size_t c = 0; c < row.size(); ++c) row[c] = table.at(r, c);
          AddRanks(row, column_rank_sums);
        }

        AppendFactorLines(report, table);
        report += "---------------------------------------------------\r\n";
        AppendFriedmanLine(report, "FACTOR A", Friedman(column_rank_sums, table.row_count()),
                           options);
        AppendFriedmanLine(report, "FACTOR B", Friedman(row_rank_sums, table.column_count()),
                           options);
      });
}

std::string CochranQReport(DataSets data, const ReportOptions& options) {
  return TwoWayReport(
      data, "--- Cochran's Q Test ------------------------\r\n",
      [&options](const TwoWayTable& table, std::string& report) {
        const MarginalSums margins = SumMargins(table);
        const double total = Sum(margins.rows);
        const double row_squares = SumOfSquares(margins.rows);
        const double column_squares = SumOfSquares(margins.columns);
        const int a_df = static_cast<int>(table.column_count()) - 1;
        const int b_df = static_cast<int>(table.row_count()) - 1;
        // Factor A: the columns are the treatments and the rows the blocks; B the reverse.
        const double a_q =
            CochranQ(static_cast<double>(table.column_count()), total, column_squares, row_squares);
        const double b_q =
            CochranQ(static_cast<double>(table.row_count()), total, row_squares, column_squares);

        AppendTabbedLabelLine(report, "FACTOR A", table.column_labels);
        AppendTabbedLabelLine(report, "FACTOR B", table.row_labels);
        report += "---------------------------------------------\r\n";
        AppendFormat(report, "Factor A\tQ=%f\tDf=%d\t%s\r\n", a_q, a_df, ChiSquareLabel(a_q, a_df));
        AppendPValue(report, options, [&] { return ChiSquareUpperP(a_q, a_df); });
        AppendFormat(report, "Factor B\tQ=%f\tDf=%d\t%s\r\n", b_q, b_df, ChiSquareLabel(b_q, b_df));
        AppendPValue(report, options, [&] { return ChiSquareUpperP(b_q, b_df); });
      });
}

}  // namespace tallo
