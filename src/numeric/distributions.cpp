#include "numeric/distributions.h"

#include <cmath>

namespace tallo {

double ProbT(double t, int df) {
  if (df < 1) return 0;
  constexpr double kPi = 3.14159265;
  t = std::fabs(t);
  const double theta = std::atan(t / std::sqrt(static_cast<double>(df)));
  double p = 0;
  if (df == 1) {
    p = 1 - 2 * theta / kPi;
  } else if (df == 2) {
    p = 1 - std::sin(theta);
  } else if (df == 3) {
    p = 1 - 2 * theta / kPi - std::sin(2 * theta) / kPi;
  } else {
    const double c = std::pow(std::cos(theta), 2);
    double sum = 1;
    double term = 1;
    for (int i = df % 2 == 0 ? 2 : 3; i <= df - 2; i += 2) {
      term = term * (i - 1) / i * c;
      sum += term;
      if (term < 1e-10) break;
    }
    p = df % 2 == 0 ? 1 - std::sin(theta) * sum
                    : 1 - 2 * (theta + std::sin(theta) * std::cos(theta) * sum) / kPi;
  }
  return p < 0 ? 0 : p;
}

}  // namespace tallo
