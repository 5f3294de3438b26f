#include "procedures/curve_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "numeric/matrix.h"
#include "numeric/summary.h"
#include "procedures/multivariate.h"
#include "text/data_readers.h"
#include "text/number_text.h"

namespace tallo {
namespace {

constexpr std::string_view kTitle = "--- Least square method ---\r\n";
constexpr int kHighestDegree = 4;

// The value at t of the polynomial with these coefficients, lowest power first (Horner).
double Polynomial(const std::vector<double>& coefficients, double t) {
  double value = 0;
  for (std::size_t k = coefficients.size(); k-- > 0;) value = value * t + coefficients[k];
  return value;
}

// Whether u holds at least count different values.
bool HasDistinctValues(std::vector<double> u, std::size_t count) {
  std::sort(u.begin(), u.end());
  return static_cast<std::size_t>(std::unique(u.begin(), u.end()) - u.begin()) >= count;
}

// The coefficients in powers of u of sum a_k ((u - centre) / scale)^k: the binomial
// expansion of each power.
std::vector<double> PowersOfU(const std::vector<double>& a, double centre, double scale) {
  std::vector<double> c(a.size(), 0.0);
  for (std::size_t k = 0; k < a.size(); ++k) {
    double binomial = 1;  // k choose j, j from 0
    for (std::size_t j = 0; j <= k; ++j) {
      c[j] += a[k] * binomial * PowInt(-centre / scale, static_cast<int>(k - j)) /
              PowInt(scale, static_cast<int>(j));
      binomial = binomial * static_cast<double>(k - j) / static_cast<double>(j + 1);
    }
  }
  return c;
}

// The coefficients, residual sum, coefficient of determination and the equation; a fit in
// 1/x numbers its coefficients D[-0], D[-1], ... and divides by the powers of x.
void AppendFit(std::string& report, const std::vector<double>& c, bool reciprocal,
               double residual_squares, double determination) {
  const std::string_view prefix = reciprocal ? "-" : "";
  const std::string_view op = reciprocal ? "/" : "*";
  report += kTitle;
  for (std::size_t i = 0; i < c.size(); ++i) {
    AppendFormat(report, "D[%s%d] %f\r\n", prefix, i, c[i]);
  }
  AppendFormat(report, "sum of desidual squares=%f\r\n", residual_squares);
  AppendFormat(report, "coefficient of determination=%f\r\n", determination);
  report += "equation\r\nY= ";
  AppendFormat(report, "(%f)", c[0]);
  if (c.size() > 1) AppendFormat(report, "+(%f)%s(x)", c[1], op);
  for (std::size_t i = 2; i < c.size(); ++i) {
    AppendFormat(report, "+(%f)%spow(x,%d)", c[i], op, i);
  }
  report += "\r\n";
}

}  // namespace

std::string LeastSquaresFit(DataSets data) {
  const int degree = ParseInteger(data[2]->text());
  if (degree < -kHighestDegree || degree == 0 || degree > kHighestDegree) {
    return "--Invalid Value--\r\n";
  }
  const bool reciprocal = degree < 0;
  const std::size_t order = static_cast<std::size_t>(std::abs(degree)) + 1;

  // The fit is a polynomial in u = x, or u = 1/x for a negative degree.
  const ValuePairs pairs = PairItems(data[0]->items(), data[1]->items());
  std::vector<double> u = pairs.x;
  if (reciprocal) {
    for (double& v : u) v = 1 / v;
  }
  // A polynomial of degree m needs m + 1 different values of u; with fewer the fit is
  // not unique.
  if (!HasDistinctValues(u, order)) return SingularMatrixReport(kTitle);

  // The fit is made in t = (u - centre) / scale, which lies in [-1, 1] about 0, by QR of
  // the design matrix of the powers of t: powers of u itself (years reach 1e13 at the
  // fourth) would make the problem hopelessly ill-conditioned. The coefficients are then
  // expanded back into powers of u, and the residuals taken from the fit in t.
  const double centre = Mean(u);
  double spread = 0;
  for (double v : u) spread = std::max(spread, std::fabs(v - centre));
  // A power of two, so that dividing by it and its powers is exact.
  int exponent = 0;
  std::frexp(spread, &exponent);
  const double scale = std::ldexp(1.0, exponent);
  const double mean_y = Mean(pairs.y);
  std::vector<double> t(u.size());
  Matrix design(u.size(), order);
  std::vector<double> centred_y(u.size());
  for (std::size_t i = 0; i < u.size(); ++i) {
    t[i] = (u[i] - centre) / scale;
    for (std::size_t k = 0; k < order; ++k) design(i, k) = PowInt(t[i], static_cast<int>(k));
    centred_y[i] = pairs.y[i] - mean_y;
  }
  std::optional<std::vector<double>> a = SolveLeastSquares(std::move(design), centred_y);
  if (!a) return SingularMatrixReport(kTitle);
  CompensatedSum residual_squares;
  for (std::size_t i = 0; i < u.size(); ++i) {
    residual_squares.Add(PowInt(centred_y[i] - Polynomial(*a, t[i]), 2));
  }
  (*a)[0] += mean_y;
  const std::vector<double> c = PowersOfU(*a, centre, scale);
  const double determination =
      std::sqrt(1 - residual_squares.Value() / SumSquaredDeviations(pairs.y));
  std::string report;
  AppendFit(report, c, reciprocal, residual_squares.Value(), determination);
  return report;
}

}  // namespace tallo
