#include "procedures/regression.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "numeric/distributions.h"
#include "numeric/matrix.h"
#include "numeric/p_values.h"
#include "numeric/summary.h"
#include "procedures/multivariate.h"
#include "text/data_readers.h"
#include "text/number_text.h"

namespace tallo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr std::string_view kRegressionTitle = "--- Multiple regression analysis ----------\r\n";
constexpr std::string_view kLinearTitle = "--- Linear discriminant analysis ---\r\n";
constexpr std::string_view kMahalanobisTitle =
    "--- Mahalanobis' discriminant analysis -----------\r\n";

// The discriminant statements take their variables from the second table; the first
// must have at least as many.
constexpr std::string_view kFewerVariables =
    "the first table has fewer variables than the second\r\n";

Matrix LeadingBlock(const Matrix& m, std::size_t order) {
  Matrix block(order, order);
  for (std::size_t i = 0; i < order; ++i) {
    for (std::size_t j = 0; j < order; ++j) block(i, j) = m(i, j);
  }
  return block;
}

// The inverse of the leading order x order block of m; nullopt when it is singular.
std::optional<Matrix> InverseOfLeadingBlock(const Matrix& m, std::size_t order) {
  Matrix inverse = LeadingBlock(m, order);
  if (!InvertEquilibrated(inverse)) return std::nullopt;
  return inverse;
}

// The differences of the first count means of two groups, to the last bit of each mean.
std::vector<double> MeanDifferences(const PairwiseCovariances& a, const PairwiseCovariances& b,
                                    std::size_t count) {
  std::vector<double> d(count);
  for (std::size_t i = 0; i < count; ++i) {
    d[i] = SplitMean{a.means[i], a.mean_lows[i]}.Minus(SplitMean{b.means[i], b.mean_lows[i]});
  }
  return d;
}

// The sum of a[i] b[i] over the entries of a.
double Dot(const std::vector<double>& a, const std::vector<double>& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += a[i] * b[i];
  return sum;
}

// The coefficients times the first values of a case, plus the constant.
double LinearValue(const std::vector<double>& values, const std::vector<double>& coefficients,
                   double constant) {
  double value = constant;
  for (std::size_t i = 0; i < coefficients.size(); ++i) value += values[i] * coefficients[i];
  return value;
}

// "[label] first, second" for each variable, then the constant and the equation
// (first)*label+...+(constant).
void AppendCoefficients(std::string& report, const std::vector<std::string>& labels,
                        const std::vector<double>& first, const std::vector<double>& second,
                        double constant, std::string_view equation_heading,
                        std::string_view equation_start) {
  for (std::size_t i = 0; i < first.size(); ++i) {
    AppendFormat(report, "[%s] %f, %f\r\n", labels[i], first[i], second[i]);
  }
  AppendFormat(report, "[const] %f\r\n\r\n", constant);
  report += equation_heading;
  report += equation_start;
  for (std::size_t i = 0; i < first.size(); ++i) {
    AppendFormat(report, "(%f)*%s+", first[i], labels[i]);
  }
  AppendFormat(report, "(%f)\r\n\r\n", constant);
}

// The last variable of a full matrix on the k before it: the inverse of the leading
// k x k block times the last column.
std::optional<std::vector<double>> RegressOnLeadingBlock(const Matrix& full, std::size_t k) {
  const std::optional<Matrix> inverse = InverseOfLeadingBlock(full, k);
  if (!inverse) return std::nullopt;
  std::vector<double> with_response(k);
  for (std::size_t j = 0; j < k; ++j) with_response[j] = full(j, k);
  return MultiplyVector(*inverse, with_response);
}

struct AnalysisOfVariance {
  double regression = 0;  // sums of squares
  double error = 0;
  double total = 0;
  int df_regression = 0;
  int df_error = 0;
};

// The fit over the data rows whose cells are all numeric, the response in column k + 1.
// A row with a missing cell has no fitted value and stays out of every sum.
AnalysisOfVariance FitRegression(const CellGrid& grid, const std::vector<double>& b, double b0) {
  const std::size_t k = b.size();
  std::vector<double> observed;
  std::vector<double> fitted;
  AnalysisOfVariance anova;
  for (std::size_t r = 1; r <= grid.data_rows(); ++r) {
    const std::optional<std::vector<double>> values = ReadCaseCells(grid, r, k + 1);
    if (!values) continue;
    observed.push_back((*values)[k]);
    fitted.push_back(LinearValue(*values, b, b0));
    anova.error += PowInt(observed.back() - fitted.back(), 2);
  }
  anova.total = SumSquaredDeviations(observed);
  anova.regression = SumSquaredDeviations(fitted);
  anova.df_regression = static_cast<int>(k);
  anova.df_error = static_cast<int>(fitted.size()) - static_cast<int>(k) - 1;
  return anova;
}

void AppendAnalysisOfVariance(std::string& report, const AnalysisOfVariance& anova,
                              const ReportOptions& options) {
  const double proportion = anova.regression / anova.total;
  AppendFormat(report, "multiple correlation coefficient R=%f, propotion=%f\r\n\r\n",
               std::sqrt(proportion), proportion);
  const double mean_regression = anova.regression / anova.df_regression;
  const double mean_error = anova.error / anova.df_error;
  const double f = mean_regression / mean_error;
  // Where the series of the F distribution does not settle, no p value is found: 0.
  const double p = ProbF(f, anova.df_regression, anova.df_error).value_or(0);
  report += "---------------------------------------------\r\n";
  report += "\tSUM OF SQUARES | DF | MEAN OF SQUARES | F RATIO\r\n";
  AppendFormat(report, "REGRES:\t%f  %d  %f  %f\r\n", anova.regression, anova.df_regression,
               mean_regression, f);
  AppendFormat(report, "ERROR:\t%f  %d  %f\r\n", anova.error, anova.df_error, mean_error);
  AppendFormat(report, "TOTAL:\t%f  %d\r\n", anova.total, anova.df_regression + anova.df_error);
  report += "---------------------------------------------\r\n";
  if (p < 0.05) report += "*";
  AppendFormat(report, "p=%f\r\n", p);
  AppendPValue(report, options,
               [&] { return FUpperP(f, anova.df_regression, anova.df_error); });
}

// The pooled within-group matrix ((nA - 1) A + (nB - 1) B) / (nA + nB - 2) of the first
// p variables.
Matrix PooledMatrix(const Matrix& a, double n_a, const Matrix& b, double n_b, std::size_t p) {
  Matrix pooled(p, p);
  for (std::size_t i = 0; i < p; ++i) {
    for (std::size_t j = 0; j < p; ++j) {
      pooled(i, j) = ((n_a - 1) * a(i, j) + (n_b - 1) * b(i, j)) / (n_a + n_b - 2);
    }
  }
  return pooled;
}

// The discriminant coefficients on one kind of matrix: the pooled matrix inverted, times
// the difference of the group means.
std::optional<std::vector<double>> DiscriminantCoefficients(const PairwiseCovariances& a,
                                                            const PairwiseCovariances& b,
                                                            SquareKind kind) {
  const std::size_t p = b.variables();
  Matrix inverse = PooledMatrix(FullMatrix(a, kind), static_cast<double>(a.case_count),
                                FullMatrix(b, kind), static_cast<double>(b.case_count), p);
  if (!InvertEquilibrated(inverse)) return std::nullopt;
  return MultiplyVector(inverse, MeanDifferences(a, b, p));
}

// How many cases of a group fall above 0 and how many at or below it. A case with a
// missing cell has no value and falls on neither side.
void AppendSideCounts(std::string& report, std::string_view group, const CellGrid& grid,
                      const std::vector<double>& coefficients, double constant) {
  const std::size_t total = grid.data_rows();
  std::size_t positive = 0;
  std::size_t negative = 0;
  for (std::size_t r = 1; r <= total; ++r) {
    const std::optional<std::vector<double>> values = ReadCaseCells(grid, r, coefficients.size());
    if (!values) continue;
    if (LinearValue(*values, coefficients, constant) > 0) {
      ++positive;
    } else {
      ++negative;
    }
  }
  const double n = static_cast<double>(total);
  AppendFormat(report, "%s Positive=%d Negative=%d Total=%d P/T=%f N/T=%f\r\n", group, positive,
               negative, total, static_cast<double>(positive) / n,
               static_cast<double>(negative) / n);
}

// (x - mean)' inverse (x - mean), each deviation to the last bit of the group's mean.
double MahalanobisDistance(const Matrix& inverse, const std::vector<double>& x,
                           const PairwiseCovariances& group) {
  std::vector<double> deviation(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    deviation[i] = SplitMean{group.means[i], group.mean_lows[i]}.Deviation(x[i]);
  }
  return Dot(deviation, MultiplyVector(inverse, deviation));
}

}  // namespace

std::string MultipleRegression(DataSets data, const ReportOptions& options) {
  const CellGrid& grid = data[0]->table();
  const PairwiseCovariances& table = CovariancesOf(*data[0]);
  if (table.variables() == 0) return std::string(kRegressionTitle) + "no data columns\r\n";
  // The last column is the response, the k before it explain it.
  const std::size_t k = table.variables() - 1;
  const std::optional<std::vector<double>> b =
      RegressOnLeadingBlock(FullMatrix(table, SquareKind::kCovariance), k);
  const std::optional<std::vector<double>> beta =
      RegressOnLeadingBlock(FullMatrix(table, SquareKind::kCorrelation), k);
  if (!b || !beta) return SingularMatrixReport(kRegressionTitle);
  const double b0 = table.means[k] - Dot(*b, table.means);

  std::string report(kRegressionTitle);
  report += "[explanatory variable] regression coefficient, standard regression coefficient\r\n";
  AppendCoefficients(report, table.labels, *b, *beta, b0, "multiple regression equation\r\n", "Y=");
  AppendAnalysisOfVariance(report, FitRegression(grid, *b, b0), options);
  return report;
}

std::string LinearDiscriminant(DataSets data) {
  const CellGrid& grid_a = data[0]->table();
  const CellGrid& grid_b = data[1]->table();
  const PairwiseCovariances& a = CovariancesOf(*data[0]);
  const PairwiseCovariances& b = CovariancesOf(*data[1]);
  if (a.variables() < b.variables()) {
    return std::string(kLinearTitle) + std::string(kFewerVariables);
  }
  // Coefficients on correlations are the standard coefficients; those on covariances
  // are the coefficients of the function.
  const std::optional<std::vector<double>> standard =
      DiscriminantCoefficients(a, b, SquareKind::kCorrelation);
  const std::optional<std::vector<double>> coefficients =
      DiscriminantCoefficients(a, b, SquareKind::kCovariance);
  if (!standard || !coefficients) return SingularMatrixReport(kLinearTitle);
  std::vector<double> mean_sum(b.variables());
  for (std::size_t i = 0; i < b.variables(); ++i) mean_sum[i] = a.means[i] + b.means[i];
  const double constant = -0.5 * Dot(mean_sum, *coefficients);

  std::string report(kLinearTitle);
  report += "linear discriminant function\r\n";
  report += "[variable] coefficient, standard coefficient\r\n";
  AppendCoefficients(report, b.labels, *coefficients, *standard, constant,
                     "linear discriminant equation\r\n", "");
  report += "value of discriminant equation\r\n";
  AppendSideCounts(report, "D1", grid_a, *coefficients, constant);
  AppendSideCounts(report, "D2", grid_b, *coefficients, constant);
  return report;
}

std::string MahalanobisDiscriminant(DataSets data) {
  const PairwiseCovariances& a = CovariancesOf(*data[0]);
  const PairwiseCovariances& b = CovariancesOf(*data[1]);
  const CellGrid& cases = data[2]->table();
  const std::size_t p = b.variables();
  if (a.variables() < p) return std::string(kMahalanobisTitle) + std::string(kFewerVariables);
  const std::optional<Matrix> inverse_a =
      InverseOfLeadingBlock(FullMatrix(a, SquareKind::kCovariance), p);
  const std::optional<Matrix> inverse_b =
      InverseOfLeadingBlock(FullMatrix(b, SquareKind::kCovariance), p);
  if (!inverse_a || !inverse_b) return SingularMatrixReport(kMahalanobisTitle);

  std::string report(kMahalanobisTitle);
  const std::size_t total = cases.data_rows();
  std::size_t nearer_a = 0;
  std::size_t nearer_b = 0;
  std::size_t equal = 0;
  for (std::size_t r = 1; r <= total; ++r) {
    // A case with a missing cell is at no distance from either group.
    const std::optional<std::vector<double>> x = ReadCaseCells(cases, r, p);
    const double d1 = x ? MahalanobisDistance(*inverse_a, *x, a) : kNaN;
    const double d2 = x ? MahalanobisDistance(*inverse_b, *x, b) : kNaN;
    // A case at an infinite or undefined distance is nearer to neither group: its verdict
    // is "none" and it counts in none of the three columns.
    std::string_view verdict = "none";
    if (std::isfinite(d1) && std::isfinite(d2)) {
      if (d1 > d2) {
        verdict = "D2";
        ++nearer_b;
      } else if (d1 < d2) {
        verdict = "D1";
        ++nearer_a;
      } else {
        verdict = "D1=D2";
        ++equal;
      }
    }
    AppendFormat(report, "%s D1=%f, D2=%f, Distance=%f, %s\r\n", cases.cell(r, 0), d1, d2, d1 - d2,
                 verdict);
  }
  const double n = static_cast<double>(total);
  AppendFormat(report, "n(D1)=%d, n(D2)=%d, n(D1=D2)=%d, n(Total)=%d, D1/T=%f, D2/T=%f\r\n",
               nearer_a, nearer_b, equal, total, static_cast<double>(nearer_a) / n,
               static_cast<double>(nearer_b) / n);
  return report;
}

}  // namespace tallo
