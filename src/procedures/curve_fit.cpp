#include "procedures/curve_fit.h"

#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "numeric/summary.h"
#include "procedures/multivariate.h"
#include "text/data_readers.h"
#include "text/number_text.h"

namespace tallo {
namespace {

constexpr std::string_view kTitle = "--- Least square method ---\r\n";
constexpr int kHighestDegree = 4;

double Polynomial(const std::vector<double>& coefficients, double u) {
  double value = 0;
  for (std::size_t k = 0; k < coefficients.size(); ++k) {
    value += coefficients[k] * PowInt(u, static_cast<int>(k));
  }
  return value;
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

Matrix BuildMomentMatrix(std::span<const double> moments, std::size_t order) {
  Matrix m(order, order);
  for (std::size_t i = 0; i < order; ++i) {
    for (std::size_t j = 0; j < order; ++j) m(i, j) = moments[i + j];
  }
  return m;
}

std::string LeastSquaresFit(DataTexts data) {
  const int degree = ParseInteger(data[2]);
  if (degree < -kHighestDegree || degree == 0 || degree > kHighestDegree) {
    return "--Invalid Value--\r\n";
  }
  const bool reciprocal = degree < 0;
  const std::size_t order = static_cast<std::size_t>(std::abs(degree)) + 1;

  // The fit is a polynomial in u = x, or u = 1/x for a negative degree.
  const ValuePairs pairs = ParseValuePairs(data[0], data[1]);
  std::vector<double> u = pairs.x;
  if (reciprocal) {
    for (double& v : u) v = 1 / v;
  }
  std::vector<double> moments(2 * order - 1, 0.0);
  std::vector<double> right_side(order, 0.0);
  for (std::size_t i = 0; i < u.size(); ++i) {
    for (std::size_t k = 0; k < moments.size(); ++k) {
      moments[k] += PowInt(u[i], static_cast<int>(k));
    }
    for (std::size_t k = 0; k < order; ++k) {
      right_side[k] += pairs.y[i] * PowInt(u[i], static_cast<int>(k));
    }
  }
  Matrix inverse = BuildMomentMatrix(moments, order);
  if (!InvertMatrix(inverse)) return SingularMatrixReport(kTitle);
  const std::vector<double> c = MultiplyVector(inverse, right_side);

  double residual_squares = 0;
  for (std::size_t i = 0; i < u.size(); ++i) {
    residual_squares += PowInt(pairs.y[i] - Polynomial(c, u[i]), 2);
  }
  const double n = static_cast<double>(u.size());
  const double sum_y = right_side[0];
  const double determination =
      std::sqrt(1 - residual_squares / (SumOfSquares(pairs.y) - std::pow(sum_y, 2.0) / n));
  std::string report;
  AppendFit(report, c, reciprocal, residual_squares, determination);
  return report;
}

}  // namespace tallo
