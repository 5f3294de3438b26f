#include "numeric/matrix.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <span>
#include <utility>

namespace tallo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The width the first bisection's intervals must fall below, relative to their upper end
// (at least 1). Its midpoints are the shifts of the first step of inverse iteration, which
// also sets the sign of each eigenvector.
constexpr double kBisectionWidth = 1e-6;

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();

// Steps of inverse iteration at the accurate eigenvalue; each shrinks the error of the
// vector by about the matrix norm's rounding over the eigenvalue gap.
constexpr int kInverseIterations = 3;

// An eigenpair is accepted when |B v - lambda v| is within this many roundings of |B|.
constexpr double kResidualRoundings = 64;

using Vector = std::vector<double>;

double NormOne(const Vector& v) {
  double norm = 0;
  for (double x : v) norm += std::fabs(x);
  return norm;
}

double Dot(const Vector& a, const Vector& b) {
  return std::inner_product(a.begin(), a.end(), b.begin(), 0.0);
}

void Scale(Vector& v, double factor) {
  for (double& x : v) x *= factor;
}

void NormaliseLength(Vector& v) { Scale(v, 1 / std::sqrt(Dot(v, v))); }

Vector Column(const Matrix& m, std::size_t column) {
  Vector v(m.rows());
  for (std::size_t i = 0; i < m.rows(); ++i) v[i] = m(i, column);
  return v;
}

void SetColumn(Matrix& m, std::size_t column, const Vector& v) {
  for (std::size_t i = 0; i < m.rows(); ++i) m(i, column) = v[i];
}

bool AllFinite(const Matrix& a) {
  for (std::size_t i = 0; i < a.rows(); ++i) {
    for (std::size_t j = 0; j < a.columns(); ++j) {
      if (!std::isfinite(a(i, j))) return false;
    }
  }
  return true;
}

// Householder reduction of a symmetric matrix to tridiagonal form, in place; each step
// clears row and column k beyond the first off-diagonal entry.
void Tridiagonalise(Matrix& a) {
  const std::size_t n = a.rows();
  Vector u(n);
  Vector p(n);
  for (std::size_t k = 0; k + 2 < n; ++k) {
    double s = 0;
    for (std::size_t j = k + 1; j < n; ++j) s += a(k, j) * a(k, j);
    // A row already reduced needs no reflection. (r >= s > 0 otherwise, whatever the
    // scale of the matrix.)
    if (s == 0) continue;
    double t = std::sqrt(s);
    if (a(k, k + 1) >= 0) t = -t;
    const double r = (t - a(k, k + 1)) * t;

    std::fill(u.begin(), u.end(), 0.0);
    u[k + 1] = a(k, k + 1) - t;
    for (std::size_t j = k + 2; j < n; ++j) u[j] = a(k, j);

    double c = 0;
    for (std::size_t i = k; i < n; ++i) {
      double sum = 0;
      for (std::size_t j = k; j < n; ++j) sum += a(i, j) * u[j];
      p[i] = sum / r;
      c += p[i] * u[i];
    }
    c /= 2 * r;
    for (std::size_t i = k; i < n; ++i) p[i] -= c * u[i];  // p becomes q
    for (std::size_t i = k; i < n; ++i) {
      for (std::size_t j = i; j < n; ++j) {
        a(i, j) -= u[i] * p[j] + p[i] * u[j];
        a(j, i) = a(i, j);
      }
    }
  }
}

// The largest absolute row sum of a matrix (its infinity norm).
double RowSumNorm(const Matrix& a) {
  double norm = 0;
  for (std::size_t i = 0; i < a.rows(); ++i) {
    double row = 0;
    for (std::size_t j = 0; j < a.columns(); ++j) row += std::fabs(a(i, j));
    norm = std::max(norm, row);
  }
  return norm;
}

// A symmetric tridiagonal matrix (n >= 2) as the bisections read it: what counting its
// eigenvalues above a point takes, worked out once, since every bisection step counts.
class TridiagonalCount {
 public:
  explicit TridiagonalCount(const Matrix& t)
      : diagonal_(t.rows()), off_squares_(t.rows() - 1), norm_(RowSumNorm(t)) {
    const std::size_t n = t.rows();
    double largest_square = 1;
    for (std::size_t i = 0; i < n; ++i) diagonal_[i] = t(i, i);
    for (std::size_t i = 0; i + 1 < n; ++i) {
      off_squares_[i] = t(i, i + 1) * t(i, i + 1);
      largest_square = std::max(largest_square, off_squares_[i]);
    }
    smallest_pivot_ = std::numeric_limits<double>::min() * largest_square;
    // Gershgorin's bound on the eigenvalues, plus 1.
    bound_ = std::fabs(t(0, 0)) + std::fabs(t(0, 1));
    for (std::size_t i = 1; i + 1 < n; ++i) {
      bound_ =
          std::max(bound_, std::fabs(t(i, i - 1)) + std::fabs(t(i, i)) + std::fabs(t(i, i + 1)));
    }
    bound_ = std::max(bound_, std::fabs(t(n - 1, n - 2)) + std::fabs(t(n - 1, n - 1))) + 1;
  }

  std::size_t size() const { return diagonal_.size(); }
  double bound() const { return bound_; }
  double norm() const { return norm_; }

  // The number of eigenvalues above x, by Sylvester's law of inertia: the pivots q_i of
  // the factorisation T - x I = L D L' (q_1 = t_11 - x, q_i = t_ii - x - t_(i-1)i^2 /
  // q_(i-1)) are negative once for every eigenvalue below x. A pivot that vanishes is
  // taken as a tiny negative one (so an eigenvalue at x counts as below it); the ratios
  // never overflow, whatever the scale of the matrix.
  std::size_t Above(double x) const {
    std::size_t count = 0;
    AboveEach(std::span(&x, 1), std::span(&count, 1));
    return count;
  }

  // The counts above several points, their factorisations run side by side in groups, so
  // that the divisions of one overlap those of the others instead of waiting in turn.
  void AboveEach(std::span<const double> points, std::span<std::size_t> counts) const {
    constexpr std::size_t kGroup = 8;
    const std::size_t n = diagonal_.size();
    for (std::size_t start = 0; start < points.size(); start += kGroup) {
      const std::size_t width = std::min(kGroup, points.size() - start);
      std::array<double, kGroup> q;
      std::array<std::size_t, kGroup> below{};
      // Written without branches: the signs of the pivots follow no pattern to predict.
      const auto pivot = [&](std::size_t j, double value) {
        q[j] = std::fabs(value) < smallest_pivot_ ? -smallest_pivot_ : value;
        below[j] += static_cast<std::size_t>(q[j] < 0);
      };
      for (std::size_t j = 0; j < width; ++j) pivot(j, diagonal_[0] - points[start + j] - 0.0);
      for (std::size_t i = 1; i < n; ++i) {
        for (std::size_t j = 0; j < width; ++j) {
          pivot(j, diagonal_[i] - points[start + j] - off_squares_[i - 1] / q[j]);
        }
      }
      for (std::size_t j = 0; j < width; ++j) counts[start + j] = n - below[j];
    }
  }

 private:
  Vector diagonal_;
  Vector off_squares_;
  double norm_;
  double smallest_pivot_;
  double bound_;
};

// The eigenvalues of a tridiagonal matrix, largest first, the k-th (from 1) by bisection on
// the count of eigenvalues above a point, down to the last bit its rounding allows: the
// interval stops shrinking when its midpoint is one of its ends, or when it is far below
// the rounding of the matrix's norm, which bounds how well any eigenvalue is determined.
// The bisections run in step, each in its own interval, so that their counts are made
// side by side.
Vector AccurateEigenvalues(const TridiagonalCount& t) {
  const std::size_t n = t.size();
  const double floor = 0x1p-10 * kEpsilon * t.norm();
  Vector lo(n, -t.bound());  // at least k eigenvalues are above lo[k - 1]
  Vector hi(n, t.bound());   // fewer than k are above hi[k - 1]
  Vector values(n);
  std::vector<std::size_t> searching(n);  // the eigenvalues not yet found
  std::iota(searching.begin(), searching.end(), std::size_t{0});
  Vector points;
  std::vector<std::size_t> counts;
  while (!searching.empty()) {
    points.clear();
    std::size_t kept = 0;
    for (const std::size_t k : searching) {
      const double x = lo[k] + (hi[k] - lo[k]) / 2;
      // Written to stop on nan as well (a bound that overflowed).
      if (!(x > lo[k] && x < hi[k] && hi[k] - lo[k] > floor)) {
        values[k] = x;
        continue;
      }
      searching[kept++] = k;
      points.push_back(x);
    }
    searching.resize(kept);
    counts.resize(kept);
    t.AboveEach(points, counts);
    for (std::size_t j = 0; j < kept; ++j) {
      const std::size_t k = searching[j];
      (counts[j] >= k + 1 ? lo[k] : hi[k]) = points[j];
    }
  }
  return values;
}

// The eigenvalues of a tridiagonal matrix to the first bisection's width, largest first,
// each by bisection below the one found before it (which restarts lower when its start
// lies above the eigenvalue before). Past a generous bound on its steps the eigenvalues
// not yet found are nan.
Vector BisectEigenvalues(const TridiagonalCount& t) {
  constexpr int kMaxSteps = 20000;
  const std::size_t n = t.size();
  const double g = t.bound();
  Vector values(n, kNaN);
  double x = g;
  for (std::size_t k = 1; k <= n; ++k) {
    double lo = -g;
    double hi = x;
    x = (lo + hi) / 2;
    for (int step = 0;; ++step) {
      if (step == kMaxSteps) return values;
      const std::size_t count = t.Above(x);
      if (n >= 3 && k > count + 1) {
        // x lies above an eigenvalue already found: search again below x.
        hi = x;
        lo = -g;
        x = (lo + hi) / 2;
        continue;
      }
      if (k <= count) {
        lo = x;
      } else {
        hi = x;
      }
      x = (lo + hi) / 2;
      if (std::fabs(hi - lo) < kBisectionWidth * std::max(1.0, std::fabs(hi))) break;
    }
    values[k - 1] = x;
  }
  return values;
}

// The eigenvectors of a 2 x 2 symmetric matrix in closed form. (b, lambda - a) and
// (lambda - d, b) both solve the equations; the longer one is taken, because the other
// vanishes when b is small and lambda is known only to the bisection width. It points
// the way (b, lambda - a) points wherever that one has a direction.
Matrix TwoByTwoEigenvectors(const Matrix& m, const Vector& values) {
  Matrix vectors(2, 2);
  const double a = m(0, 0);
  const double b = m(0, 1);
  const double d = m(1, 1);
  for (std::size_t j = 0; j < 2; ++j) {
    const Vector first = {b, values[j] - a};
    Vector second = {values[j] - d, b};
    Vector v = first;
    if (Dot(second, second) > Dot(first, first)) {
      if (Dot(first, second) < 0) Scale(second, -1);
      v = second;
    }
    NormaliseLength(v);
    SetColumn(vectors, j, v);
  }
  return vectors;
}

// M = shift I - B factorised in place as P M = L U by Crout's method with partial pivoting
// (U has a unit diagonal). A shift by an eigenvalue leaves a tiny last pivot, which is what
// inverse iteration feeds on; a pivot smaller than floor, a rounding of the matrix's norm
// (a shift equal to an eigenvalue of a reduced block, or a column of entries far below the
// rest), is raised to floor with its sign, so that the solutions cannot overflow.
struct ShiftedFactors {
  Matrix lu;
  std::vector<std::size_t> pivot;  // pivot[i]: the row of M now at i
};

void RaiseToFloor(double& pivot, double floor) {
  if (std::fabs(pivot) < floor) pivot = std::signbit(pivot) ? -floor : floor;
}

void SwapToLargestInColumn(ShiftedFactors& f, std::size_t j, double floor) {
  const std::size_t n = f.lu.rows();
  std::size_t best = j;
  for (std::size_t i = j + 1; i < n; ++i) {
    if (std::fabs(f.lu(i, j)) > std::fabs(f.lu(best, j))) best = i;
  }
  if (best != j) {
    f.lu.SwapRows(j, best);
    std::swap(f.pivot[j], f.pivot[best]);
  }
  RaiseToFloor(f.lu(j, j), floor);
}

ShiftedFactors FactorShifted(const Matrix& b, double shift) {
  const std::size_t n = b.rows();
  const double floor = std::max(kEpsilon * RowSumNorm(b), std::numeric_limits<double>::min());
  ShiftedFactors f{Matrix(n, n), std::vector<std::size_t>(n)};
  std::iota(f.pivot.begin(), f.pivot.end(), std::size_t{0});
  Matrix& m = f.lu;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) m(i, j) = (i == j ? shift : 0.0) - b(i, j);
  }
  SwapToLargestInColumn(f, 0, floor);
  for (std::size_t j = 1; j < n; ++j) m(0, j) /= m(0, 0);
  for (std::size_t j = 1; j + 1 < n; ++j) {
    for (std::size_t i = j; i < n; ++i) {
      for (std::size_t l = 0; l < j; ++l) m(i, j) -= m(i, l) * m(l, j);
    }
    SwapToLargestInColumn(f, j, floor);
    for (std::size_t l = j + 1; l < n; ++l) {
      double sum = m(j, l);
      for (std::size_t q = 0; q < j; ++q) sum -= m(j, q) * m(q, l);
      m(j, l) = sum / m(j, j);
    }
  }
  for (std::size_t l = 0; l + 1 < n; ++l) m(n - 1, n - 1) -= m(n - 1, l) * m(l, n - 1);
  RaiseToFloor(m(n - 1, n - 1), floor);
  return f;
}

// Solves L U y = z by forward and back substitution; z is in the factors' row order.
Vector Substitute(const Matrix& m, Vector y) {
  const std::size_t n = m.rows();
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t l = 0; l < i; ++l) y[i] -= m(i, l) * y[l];
    y[i] /= m(i, i);
  }
  for (std::size_t i = n - 1; i-- > 0;) {
    for (std::size_t l = i + 1; l < n; ++l) y[i] -= m(i, l) * y[l];
  }
  return y;
}

// Solves M y = x.
Vector SolveShifted(const ShiftedFactors& f, const Vector& x) {
  Vector permuted(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) permuted[i] = x[f.pivot[i]];
  return Substitute(f.lu, std::move(permuted));
}

// Solves L U y = e_r for the unit vector at the row named by pivot entry start.
Vector SolveTrial(const ShiftedFactors& f, std::size_t start) {
  Vector y(f.lu.rows(), 0.0);
  y[f.pivot[start]] = 1;
  return Substitute(f.lu, std::move(y));
}

// One step of inverse iteration from the unit vectors at pivot entries start, start + 1,
// ...: the first solution of 1-norm 100 or more, else the largest of them all. start
// ends at the trial used last.
Vector InverseIterationTrial(const ShiftedFactors& f, std::size_t& start) {
  const std::size_t n = f.lu.rows();
  if (start >= n) start = 0;
  Vector best(n, 0.0);
  double best_norm = 0;
  for (;;) {
    Vector y = SolveTrial(f, start);
    const double norm = NormOne(y);
    if (!(norm < 100)) {
      Scale(y, 1 / norm);
      return y;
    }
    if (norm > best_norm) {
      best = std::move(y);
      best_norm = norm;
    }
    if (start + 1 == n) break;
    ++start;
  }
  Scale(best, 1 / best_norm);
  return best;
}

// The first approximations of the eigenvectors: one step of inverse iteration from unit
// trial vectors at the first bisection's shifts. Shifts closer than its width share one
// factorisation, each later one starting from the next trial vector. A shift below -1e-5
// turns its vector round, as a step of the power method would.
Matrix FirstApproximations(const Matrix& b, const Vector& shifts) {
  const std::size_t n = b.rows();
  Matrix approximations(n, n);
  std::optional<ShiftedFactors> factors;
  std::size_t start = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const bool clustered =
        k > 0 && std::fabs(shifts[k - 1] - shifts[k]) <=
                     kBisectionWidth * std::max(1.0, std::fabs(shifts[k - 1]));
    if (clustered) {
      ++start;
    } else {
      factors = FactorShifted(b, std::fabs(shifts[k]) < 1e-10 ? 1e-10 : shifts[k]);
      start = 0;
    }
    Vector v = InverseIterationTrial(*factors, start);
    if (shifts[k] < -1e-5) Scale(v, -1);
    SetColumn(approximations, k, v);
  }
  return approximations;
}

// Removes from v its parts along the first count columns of vectors (orthonormal), twice
// over, since one pass leaves rounding of the size of what it removed; then v / |v|.
void OrthonormaliseAgainst(Vector& v, const Matrix& vectors, std::size_t count) {
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t j = 0; j < count; ++j) {
      double along = 0;
      for (std::size_t i = 0; i < v.size(); ++i) along += v[i] * vectors(i, j);
      for (std::size_t i = 0; i < v.size(); ++i) v[i] -= along * vectors(i, j);
    }
  }
  NormaliseLength(v);
}

double ResidualNorm(const Matrix& b, const Vector& v, double value) {
  Vector r = MultiplyVector(b, v);
  for (std::size_t i = 0; i < r.size(); ++i) r[i] -= value * v[i];
  return std::sqrt(Dot(r, r));
}

// Inverse iteration at the accurate eigenvalue from start, each step's solution made
// orthogonal to the vectors already found (so eigenvalues that coincide get orthogonal
// vectors within their eigenspace).
Vector IterateInverse(const ShiftedFactors& factors, Vector v, const Matrix& vectors,
                      std::size_t found) {
  OrthonormaliseAgainst(v, vectors, found);
  for (int step = 0; step < kInverseIterations; ++step) {
    v = SolveShifted(factors, v);
    OrthonormaliseAgainst(v, vectors, found);
  }
  return v;
}

// The eigenvectors of a symmetric matrix of order 3 or more: inverse iteration at each
// accurate eigenvalue, started from the first approximation and turned to point its way.
// A start with no part along the eigenvector (or one lost to rounding) is replaced by the
// unit vectors in turn until the residual |B v - lambda v| is a rounding of |B|.
Matrix InverseIterationVectors(const Matrix& b, const Vector& shifts, const Vector& values) {
  const std::size_t n = b.rows();
  const Matrix approximations = FirstApproximations(b, shifts);
  const double tolerance = kResidualRoundings * kEpsilon * RowSumNorm(b);
  Matrix vectors(n, n);
  for (std::size_t k = 0; k < n; ++k) {
    const ShiftedFactors factors = FactorShifted(b, values[k]);
    const Vector approximation = Column(approximations, k);
    Vector v = IterateInverse(factors, approximation, vectors, k);
    for (std::size_t unit = 0; unit < n && !(ResidualNorm(b, v, values[k]) <= tolerance);
         ++unit) {
      Vector start(n, 0.0);
      start[unit] = 1;
      v = IterateInverse(factors, start, vectors, k);
    }
    if (Dot(v, approximation) < 0) Scale(v, -1);
    SetColumn(vectors, k, v);
  }
  return vectors;
}

}  // namespace

void Matrix::SwapRows(std::size_t a, std::size_t b) {
  for (std::size_t j = 0; j < columns_; ++j) std::swap((*this)(a, j), (*this)(b, j));
}

void Matrix::SwapColumns(std::size_t a, std::size_t b) {
  for (std::size_t i = 0; i < rows_; ++i) std::swap((*this)(i, a), (*this)(i, b));
}

std::vector<double> MultiplyVector(const Matrix& a, const std::vector<double>& x) {
  assert(x.size() == a.columns());
  Vector z(a.rows(), 0.0);
  for (std::size_t i = 0; i < a.rows(); ++i) {
    for (std::size_t j = 0; j < a.columns(); ++j) z[i] += a(i, j) * x[j];
  }
  return z;
}

bool SelectPivot(Matrix& a, std::size_t k, std::vector<std::size_t>& perm) {
  if (a(k, k) == 0.0) return false;
  double largest = std::fabs(a(k, k));
  std::size_t row = k;
  for (std::size_t i = k; i < a.rows(); ++i) {
    if (std::fabs(a(i, k)) > largest) {
      largest = std::fabs(a(i, k));
      row = i;
    }
  }
  if (largest <= 1e-10) return false;
  if (row != k) {
    a.SwapRows(k, row);
    std::swap(perm[k], perm[row]);
  }
  return true;
}

bool InvertMatrix(Matrix& a) {
  assert(a.rows() == a.columns());
  const std::size_t n = a.rows();
  std::vector<std::size_t> perm(n);
  std::iota(perm.begin(), perm.end(), std::size_t{0});
  for (std::size_t k = 0; k < n; ++k) {
    if (!SelectPivot(a, k, perm)) return false;
    const double pivot = a(k, k);
    a(k, k) = 1.0;
    for (std::size_t j = 0; j < n; ++j) a(k, j) /= pivot;
    for (std::size_t i = 0; i < n; ++i) {
      if (i == k) continue;
      for (std::size_t j = 0; j < n; ++j) {
        if (j != k) a(i, j) -= a(i, k) * a(k, j);
      }
      a(i, k) = -a(i, k) / pivot;
    }
  }
  // The rows were inverted in the order perm; the same order of columns restores A^-1.
  for (std::size_t i = 0; i + 1 < n; ++i) {
    if (perm[i] == i) continue;
    std::size_t m = i + 1;
    while (perm[m] != i) ++m;
    a.SwapColumns(i, m);
    std::swap(perm[i], perm[m]);
  }
  return true;
}

bool InvertEquilibrated(Matrix& a) {
  const std::size_t n = a.rows();
  // Half the binary exponent of each diagonal entry, on both sides: S A S has its diagonal
  // in [1/4, 4), and A^-1 = S (S A S)^-1 S.
  std::vector<int> exponents(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    if (a(i, i) > 0 && std::isfinite(a(i, i))) {
      std::frexp(a(i, i), &exponents[i]);
      exponents[i] = -exponents[i] / 2;
    }
  }
  const auto scale = [&] {
    for (std::size_t i = 0; i < n; ++i) {
      for (std::size_t j = 0; j < n; ++j) a(i, j) = std::ldexp(a(i, j), exponents[i] + exponents[j]);
    }
  };
  scale();
  if (!InvertMatrix(a)) return false;
  scale();
  return true;
}

std::optional<std::vector<double>> SolveLeastSquares(Matrix design, std::vector<double> y) {
  const std::size_t m = design.rows();
  const std::size_t n = design.columns();
  assert(y.size() == m);
  if (m < n) return std::nullopt;
  // Column k: the reflection I - 2 v v'/v'v that sends its part from row k down onto
  // the diagonal, applied to the later columns and to y.
  Vector diagonal(n);
  for (std::size_t k = 0; k < n; ++k) {
    double norm = 0;
    for (std::size_t i = k; i < m; ++i) norm = std::hypot(norm, design(i, k));
    if (norm == 0) return std::nullopt;
    const double alpha = design(k, k) > 0 ? -norm : norm;
    design(k, k) -= alpha;  // v, held in place of the column
    const double vv = -design(k, k) * alpha;  // v'v / 2
    for (std::size_t j = k + 1; j < n; ++j) {
      double along = 0;
      for (std::size_t i = k; i < m; ++i) along += design(i, k) * design(i, j);
      along /= vv;
      for (std::size_t i = k; i < m; ++i) design(i, j) -= along * design(i, k);
    }
    double along = 0;
    for (std::size_t i = k; i < m; ++i) along += design(i, k) * y[i];
    along /= vv;
    for (std::size_t i = k; i < m; ++i) y[i] -= along * design(i, k);
    diagonal[k] = alpha;
  }
  // Back substitution in R c = Q'y.
  Vector c(n);
  for (std::size_t k = n; k-- > 0;) {
    double sum = y[k];
    for (std::size_t j = k + 1; j < n; ++j) sum -= design(k, j) * c[j];
    c[k] = sum / diagonal[k];
  }
  return c;
}

EigenSystem EigenSymmetric(const Matrix& a) {
  assert(a.rows() == a.columns());
  const std::size_t n = a.rows();
  EigenSystem eigen{Vector(n, kNaN), Matrix(n, n)};
  if (!AllFinite(a)) {
    for (std::size_t j = 0; j < n; ++j) SetColumn(eigen.vectors, j, Vector(n, kNaN));
    return eigen;
  }
  if (n == 1) {
    eigen.values[0] = a(0, 0);
    eigen.vectors(0, 0) = 1;
    return eigen;
  }
  if (n == 0) return eigen;

  // Entries far from 1 would overflow or underflow in the squares below: a power of two
  // brings them near 1 without rounding, and the eigenvalues are scaled back.
  double largest = 0;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) largest = std::max(largest, std::fabs(a(i, j)));
  }
  int exponent = 0;
  if (largest > 0x1p400 || (largest > 0 && largest < 0x1p-400)) std::frexp(largest, &exponent);
  Matrix b = a;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) b(i, j) = std::ldexp(a(i, j), -exponent);
  }

  Matrix tridiagonal = b;
  Tridiagonalise(tridiagonal);
  const TridiagonalCount count(tridiagonal);
  eigen.values = AccurateEigenvalues(count);
  eigen.vectors = n == 2 ? TwoByTwoEigenvectors(b, eigen.values)
                         : InverseIterationVectors(b, BisectEigenvalues(count), eigen.values);
  for (double& value : eigen.values) value = std::ldexp(value, exponent);
  return eigen;
}

}  // namespace tallo
