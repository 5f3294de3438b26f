#include "procedures/multivariate.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <span>

#include "numeric/summary.h"
#include "text/number_text.h"

namespace tallo {
namespace {

// Factors whose eigenvalue falls below this are not listed by pca.
constexpr double kSmallestFactor = 0.01;

// Sample covariance of pairs with the means of their x and y; undefined (nan) for fewer
// than two pairs.
double Covariance(std::span<const double> x, std::span<const double> y, const SplitMean& mean_x,
                  const SplitMean& mean_y) {
  if (x.size() < 2) return std::numeric_limits<double>::quiet_NaN();
  return SumCrossDeviations(x, y, mean_x, mean_y) / (static_cast<double>(x.size()) - 1);
}

// The numbers of one report line in "%0.2e", separated by ", ".
template <typename ValueAt>
void AppendScientificLine(std::string& report, std::size_t count, ValueAt value_at) {
  for (std::size_t j = 0; j < count; ++j) {
    if (j > 0) report += ", ";
    report += FormatScientific(value_at(j), 2);
  }
  report += "\r\n";
}

// The running sum of the eigenvalues as a proportion of their total; exactly 1 once the
// sum reaches the total.
std::vector<double> CumulativeProportions(const std::vector<double>& values, double total) {
  std::vector<double> proportions;
  double running = 0;
  for (double value : values) {
    running += value;
    proportions.push_back(running >= total ? 1.0 : running / total);
  }
  return proportions;
}

void AppendEigenListing(std::string& report, const Matrix& a, const EigenSystem& eigen,
                        bool use_correlation) {
  const std::size_t p = a.rows();
  report += use_correlation
                ? "--- Eigenvalue and eigenvector of correlation matrix ---\r\n"
                : "--- Eigenvalue and eigenvector of variance-covariance matrix ---\r\n";
  report += "matrix\r\n";
  for (std::size_t i = 0; i < p; ++i) {
    AppendScientificLine(report, p, [&](std::size_t j) { return a(i, j); });
  }
  const std::vector<double>& values = eigen.values;
  const double total = Sum(values);
  report += "eigen value\r\n";
  AppendScientificLine(report, p, [&](std::size_t j) { return values[j]; });
  report += "proportion\r\n";
  AppendScientificLine(report, p, [&](std::size_t j) { return values[j] / total; });
  report += "cumulative proportion\r\n";
  const std::vector<double> cumulative = CumulativeProportions(values, total);
  AppendScientificLine(report, p, [&](std::size_t j) { return cumulative[j]; });
  report += "eigen vector\r\n";
  for (std::size_t i = 0; i < p; ++i) {
    AppendScientificLine(report, p, [&](std::size_t j) { return eigen.vectors(i, j); });
  }
}

// The factors listed by pca: those before the first eigenvalue below kSmallestFactor.
std::size_t RetainedFactors(const std::vector<double>& values) {
  const auto first_small =
      std::find_if(values.begin(), values.end(), [](double v) { return !(v >= kSmallestFactor); });
  return static_cast<std::size_t>(first_small - values.begin());
}

void AppendComponentScores(std::string& report, const CellGrid& grid,
                           const PairwiseCovariances& table, const EigenSystem& eigen,
                           std::size_t factors) {
  const std::size_t p = table.variables();
  report += "component score\r\n------";
  for (std::size_t j = 0; j < factors; ++j) AppendFormat(report, " factor[%d]", j + 1);
  report += "\r\n";
  for (std::size_t r = 1; r < grid.rows(); ++r) {
    report += grid.cell(r, 0);
    // A case with a missing cell has no scores.
    const std::optional<std::vector<double>> values = ReadCaseCells(grid, r, p);
    for (std::size_t j = 0; j < factors; ++j) {
      double score = std::numeric_limits<double>::quiet_NaN();
      if (values) {
        score = 0;
        for (std::size_t i = 0; i < p; ++i) {
          const double sd = std::sqrt(table.combined(i, i));
          const SplitMean mean{table.means[i], table.mean_lows[i]};
          score += mean.Deviation((*values)[i]) / sd * eigen.vectors(i, j);
        }
      }
      AppendFormat(report, " %f", score);
    }
    report += "\r\n";
  }
}

void AppendPrincipalComponents(std::string& report, const CellGrid& grid,
                               const PairwiseCovariances& table, const EigenSystem& eigen,
                               bool use_correlation) {
  const std::vector<double>& values = eigen.values;
  const double total = Sum(values);
  const std::vector<double> cumulative = CumulativeProportions(values, total);
  const std::size_t factors = RetainedFactors(values);
  report += "--- Principal component analysis -----------\r\n";
  report += "factor, eigen value, proportion, cumulastive proportion\r\n";
  for (std::size_t j = 0; j < factors; ++j) {
    AppendFormat(report, "factor[%d] %f, %f, %f\r\n", j + 1, values[j], values[j] / total,
                 cumulative[j]);
  }
  report += "\r\ncoefficient of each factor\r\n";
  for (std::size_t j = 0; j < factors; ++j) {
    AppendFormat(report, "factor[%d]\r\n", j + 1);
    for (std::size_t i = 0; i < table.variables(); ++i) {
      AppendFormat(report, "[%s] %f\r\n", table.labels[i], eigen.vectors(i, j));
    }
    report += "\r\n";
  }
  if (use_correlation) AppendComponentScores(report, grid, table, eigen, factors);
}

}  // namespace

PairwiseCovariances CovarianceTable(const CellGrid& grid) {
  const std::size_t p = grid.data_columns();
  PairwiseCovariances table;
  table.combined = Matrix(p, p);
  table.means.resize(p);
  table.mean_lows.resize(p);
  table.case_count = grid.data_rows();
  std::vector<std::vector<double>> columns;
  const std::vector<std::string_view> header = grid.RowCells(0);
  for (std::size_t i = 0; i < p; ++i) {
    table.labels.emplace_back(i + 1 < header.size() ? header[i + 1] : std::string_view());
    columns.push_back(ReadColumnItems(grid, i + 1));
  }
  // A pair of columns without a missing cell pairs every row, and its means are those of
  // the whole columns, worked out once.
  const auto gapless = [](const std::vector<double>& column) {
    return std::none_of(column.begin(), column.end(), [](double v) { return std::isnan(v); });
  };
  std::vector<std::optional<SplitMean>> whole_means(p);
  for (std::size_t i = 0; i < p; ++i) {
    if (gapless(columns[i])) whole_means[i] = MeanSplit(columns[i]);
  }
  std::vector<double> x;
  std::vector<double> y;
  for (std::size_t i = 0; i < p; ++i) {
    for (std::size_t j = i; j < p; ++j) {
      std::span<const double> pairs_x = columns[i];
      std::span<const double> pairs_y = columns[j];
      SplitMean mean_x;
      SplitMean mean_y;
      if (whole_means[i] && whole_means[j] && pairs_x.size() == pairs_y.size()) {
        mean_x = *whole_means[i];
        mean_y = *whole_means[j];
      } else {
        x.clear();
        y.clear();
        for (std::size_t r = 0; r < columns[i].size(); ++r) {
          if (!std::isnan(columns[i][r]) && !std::isnan(columns[j][r])) {
            x.push_back(columns[i][r]);
            y.push_back(columns[j][r]);
          }
        }
        pairs_x = x;
        pairs_y = y;
        mean_x = MeanSplit(x);
        mean_y = MeanSplit(y);
      }
      table.case_count = std::min(table.case_count, pairs_x.size());
      table.combined(j, i) = Covariance(pairs_x, pairs_y, mean_x, mean_y);
      if (i == j) {
        table.means[i] = mean_x.high;
        table.mean_lows[i] = mean_x.low;
      }
    }
  }
  for (std::size_t i = 0; i < p; ++i) {
    for (std::size_t j = i + 1; j < p; ++j) {
      table.combined(i, j) = table.combined(j, i) /
                             (std::sqrt(table.combined(i, i)) * std::sqrt(table.combined(j, j)));
    }
  }
  return table;
}

Matrix FullMatrix(const PairwiseCovariances& table, SquareKind kind) {
  const std::size_t p = table.variables();
  Matrix full(p, p);
  for (std::size_t i = 0; i < p; ++i) {
    for (std::size_t j = 0; j < p; ++j) {
      // Covariances stand at (larger index, smaller index), correlations the other way.
      const bool lower = i >= j;
      if (kind == SquareKind::kCovariance) {
        full(i, j) = lower ? table.combined(i, j) : table.combined(j, i);
      } else {
        full(i, j) = i == j ? 1.0 : (lower ? table.combined(j, i) : table.combined(i, j));
      }
    }
  }
  return full;
}

std::string SingularMatrixReport(std::string_view title) {
  return std::string(title) + "the matrix is singular\r\n";
}

const PairwiseCovariances& CovariancesOf(const DataSet& data) {
  return data.Derived<PairwiseCovariances>([&] { return CovarianceTable(data.table()); });
}

std::string VarCovMatrix(DataSets data) {
  const PairwiseCovariances& table = CovariancesOf(*data[0]);
  const std::size_t p = table.variables();
  std::string report = "--- variance-covariance and correlation matrix ---\r\n";
  for (std::size_t i = 0; i < p; ++i) {
    AppendFormat(report, "[%s]", table.labels[i]);
    for (std::size_t j = 0; j < p; ++j) AppendFormat(report, " %0.2e", table.combined(i, j));
    report += "\r\n";
  }
  report += "\r\n[variable] mean, standard deviation\r\n";
  for (std::size_t i = 0; i < p; ++i) {
    AppendFormat(report, "[%s] %f, %f\r\n", table.labels[i], table.means[i],
                 std::sqrt(table.combined(i, i)));
  }
  AppendFormat(report, "n=%d\r\n", table.case_count);
  return report;
}

std::string EigenAnalysis(const DataSet& data, bool use_correlation,
                          bool principal_components) {
  const CellGrid& grid = data.table();
  const PairwiseCovariances& table = CovariancesOf(data);
  const Matrix a =
      FullMatrix(table, use_correlation ? SquareKind::kCorrelation : SquareKind::kCovariance);
  // eigenvc and pca, often written one after the other, share the correlations' system.
  struct CorrelationEigenSystem {
    EigenSystem eigen;
  };
  std::optional<EigenSystem> own;
  const EigenSystem& eigen =
      use_correlation
          ? data.Derived<CorrelationEigenSystem>([&] { return CorrelationEigenSystem{EigenSymmetric(a)}; })
                .eigen
          : own.emplace(EigenSymmetric(a));
  std::string report;
  if (principal_components) {
    AppendPrincipalComponents(report, grid, table, eigen, use_correlation);
  } else {
    AppendEigenListing(report, a, eigen, use_correlation);
  }
  return report;
}

std::string EigenOfCovariance(DataSets data) { return EigenAnalysis(*data[0], false, false); }
std::string EigenOfCorrelation(DataSets data) { return EigenAnalysis(*data[0], true, false); }
std::string PrincipalComponents(DataSets data) { return EigenAnalysis(*data[0], true, true); }

}  // namespace tallo
