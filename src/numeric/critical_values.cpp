#include "numeric/critical_values.h"

#include <array>
#include <cmath>
#include <limits>

namespace tallo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Student's t, two-sided points for df 1..30 (row 0 unused), to three decimals.
// Reproduce via R: sprintf("%.3f", qt(1 - p, 1:30)) with p = 0.005, 0.01, 0.025, 0.05.
constexpr double kT[][31] = {
    {0, 63.657, 9.925, 5.841, 4.604, 4.032, 3.707, 3.499, 3.355, 3.250, 3.169, 3.106,
     3.055, 3.012, 2.977, 2.947, 2.921, 2.898, 2.878, 2.861, 2.845, 2.831, 2.819, 2.807,
     2.797, 2.787, 2.779, 2.771, 2.763, 2.756, 2.750},
    {0, 31.821, 6.965, 4.541, 3.747, 3.365, 3.143, 2.998, 2.896, 2.821, 2.764, 2.718,
     2.681, 2.650, 2.624, 2.602, 2.583, 2.567, 2.552, 2.539, 2.528, 2.518, 2.508, 2.500,
     2.492, 2.485, 2.479, 2.473, 2.467, 2.462, 2.457},
    {0, 12.706, 4.303, 3.182, 2.776, 2.571, 2.447, 2.365, 2.306, 2.262, 2.228, 2.201,
     2.179, 2.160, 2.145, 2.131, 2.120, 2.110, 2.101, 2.093, 2.086, 2.080, 2.074, 2.069,
     2.064, 2.060, 2.056, 2.052, 2.048, 2.045, 2.042},
    {0, 6.314, 2.920, 2.353, 2.132, 2.015, 1.943, 1.895, 1.860, 1.833, 1.812, 1.796,
     1.782, 1.771, 1.761, 1.753, 1.746, 1.740, 1.734, 1.729, 1.725, 1.721, 1.717, 1.714,
     1.711, 1.708, 1.706, 1.703, 1.701, 1.699, 1.697},
};

// Chi-square, upper points for df 0..20, to three decimals.
// Reproduce via R: sprintf("%.3f", qchisq(1 - p, 1:20)) with p = 0.01, 0.02, 0.05, 0.10.
constexpr double kChiSquare[][21] = {
    {0, 6.635, 9.210, 11.345, 13.277, 15.086, 16.812, 18.475, 20.090, 21.666, 23.209,
     24.725, 26.217, 27.688, 29.141, 30.578, 32.000, 33.409, 34.805, 36.191, 37.566},
    {0, 5.412, 7.824, 9.837, 11.668, 13.388, 15.033, 16.622, 18.168, 19.679, 21.161,
     22.618, 24.054, 25.472, 26.873, 28.259, 29.633, 30.995, 32.346, 33.687, 35.020},
    {0, 3.841, 5.991, 7.815, 9.488, 11.070, 12.592, 14.067, 15.507, 16.919, 18.307,
     19.675, 21.026, 22.362, 23.685, 24.996, 26.296, 27.587, 28.869, 30.144, 31.410},
    {0, 2.706, 4.605, 6.251, 7.779, 9.236, 10.645, 12.017, 13.362, 14.684, 15.987,
     17.275, 18.549, 19.812, 21.064, 22.307, 23.542, 24.769, 25.989, 27.204, 28.412},
};

// F with one numerator degree of freedom, upper 0.5%, 1%, 2.5% and 5% points for
// df2 1..9 (row 0 unused), as published.
constexpr double kF1[4][10] = {
    {0, 16211, 198.5, 55.55, 31.33, 22.78, 18.63, 16.24, 14.69, 13.61},
    {0, 4052, 98.5, 34.12, 21.2, 16.26, 13.75, 12.25, 11.26, 10.56},
    {0, 647.8, 38.51, 17.44, 12.22, 10.01, 8.81, 8.07, 7.57, 7.21},
    {0, 161.4, 18.51, 10.13, 7.71, 6.61, 5.99, 5.59, 5.32, 5.12},
};

// Pearson's r, two-sided points for df 1..20 (row 0 unused), as published.
// Reproduce via R: t <- qt(1 - p / 2, df); t / sqrt(df + t^2) with p = 0.01, 0.02, 0.05, 0.10.
constexpr double kR[][21] = {
    {0, 0.999877, 0.99, 0.9587, 0.9172, 0.875, 0.834, 0.798, 0.765, 0.735, 0.708, 0.684,
     0.661, 0.641, 0.623, 0.606, 0.59, 0.575, 0.561, 0.549, 0.537},
    {0, 0.999507, 0.98, 0.9343, 0.882, 0.833, 0.789, 0.75, 0.715, 0.685, 0.658, 0.634,
     0.612, 0.592, 0.574, 0.558, 0.543, 0.529, 0.516, 0.503, 0.492},
    {0, 0.99692, 0.95, 0.878, 0.811, 0.754, 0.707, 0.666, 0.632, 0.602, 0.576, 0.553,
     0.532, 0.514, 0.497, 0.482, 0.468, 0.456, 0.444, 0.433, 0.423},
    {0, 0.9877, 0.9, 0.805, 0.729, 0.669, 0.621, 0.582, 0.549, 0.521, 0.497, 0.476,
     0.457, 0.441, 0.426, 0.412, 0.4, 0.389, 0.378, 0.369, 0.36},
};

// The two-sided normal points, to three decimals, of the large-sample forms of t and r.
constexpr std::array kBeyondTableZ = {2.576, 2.326, 1.96, 1.645};

// Large-sample r: z / sqrt(df + k).
constexpr std::array kRBeyondK = {3.0, 2.0, 1.0, 1.0};

// Large-sample t: c / df + z.
constexpr std::array kTBeyondC = {5.22, 3.93, 2.46, 1.56};
// Normal upper points of the chi-square approximation (one-sided), and the two-sided
// points that serve the F approximation and the normal tests.
constexpr std::array kChiSquareZ = {2.32635, 2.054, 1.64485, 1.281667};
constexpr std::array kNormalTwoSided = {2.57583, 2.32635, 1.95996, 1.64485};

}  // namespace

std::optional<std::size_t> LevelColumn(int level) {
  switch (level) {
    case 1: return 0;
    case 2: return 1;
    case 5: return 2;
    case 10: return 3;
    default: return std::nullopt;
  }
}

double TCritical(int df, int level) {
  const std::optional<std::size_t> column = LevelColumn(level);
  if (!column || df < 1) return kNaN;
  if (df > 30) return kTBeyondC[*column] / df + kBeyondTableZ[*column];
  return kT[*column][df];
}

double ChiSquareCritical(int df, int level) {
  const std::optional<std::size_t> column = LevelColumn(level);
  if (!column || df < 0) return kNaN;
  if (df > 20) {
    const double h = 2.0 / (9.0 * df);
    const double correction = level == 1 ? -0.03 : 0.03;
    return df * std::pow(1 - h + kChiSquareZ[*column] * std::sqrt(h), 3.0) + correction;
  }
  return kChiSquare[*column][df];
}

double NormalCritical(int level) {
  const std::optional<std::size_t> column = LevelColumn(level);
  return column ? kNormalTwoSided[*column] : kNaN;
}

double FCritical(int df1, int df2, int level) {
  const std::optional<std::size_t> column = LevelColumn(level);
  if (!column || df1 < 1 || df2 < 1) return kNaN;
  if (df1 == 1 && df2 < 10) return kF1[*column][df2];
  const double a = 2.0 / (9.0 * df1);
  const double b = 2.0 / (9.0 * df2);
  const double z = kNormalTwoSided[*column];
  const double numerator =
      (1 - a) * (1 - b) +
      z * std::sqrt(std::pow(1 - b, 2) * a + std::pow(1 - a, 2) * b - std::pow(z, 2) * a * b);
  const double denominator = std::pow(1 - b, 2) - std::pow(z, 2) * b;
  const double value = std::pow(numerator / denominator, 3);
  return value < 0 ? 6366 : value;
}

double RCritical(int df, int level) {
  const std::optional<std::size_t> column = LevelColumn(level);
  if (!column || df < 1) return kNaN;
  if (df > 20) return kBeyondTableZ[*column] / std::sqrt(df + kRBeyondK[*column]);
  return kR[*column][df];
}

}  // namespace tallo
