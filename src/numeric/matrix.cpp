#include "numeric/matrix.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>

namespace tallo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The width a bisection interval must fall below, relative to its upper end (at least 1).
constexpr double kBisectionWidth = 1e-6;

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

double Sign(double x) { return x > 0 ? 1 : (x < 0 ? -1 : 0); }

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
    double t = std::sqrt(s);
    if (a(k, k + 1) >= 0) t = -t;
    double r = (t - a(k, k + 1)) * t;
    if (std::fabs(r) < 1e-20) r = 1e-20;

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

// Gershgorin's bound on the eigenvalues of a tridiagonal matrix (n >= 2), plus 1.
double EigenvalueBound(const Matrix& t) {
  const std::size_t n = t.rows();
  double g = std::fabs(t(0, 0)) + std::fabs(t(0, 1));
  for (std::size_t i = 1; i + 1 < n; ++i) {
    g = std::max(g, std::fabs(t(i, i - 1)) + std::fabs(t(i, i)) + std::fabs(t(i, i + 1)));
  }
  g = std::max(g, std::fabs(t(n - 1, n - 2)) + std::fabs(t(n - 1, n - 1)));
  return g + 1;
}

// Whether p0 * p1 <= 0, without forming the product (which could underflow to 0).
bool SignsDisagreeOrZero(double p0, double p1) {
  return (p0 <= 0 && p1 >= 0) || (p0 >= 0 && p1 <= 0);
}

// The number of eigenvalues of a tridiagonal matrix (n >= 2) not below x: the sign
// changes of its leading principal minors det(x I - T_i). The minors are rescaled by
// powers of two, which keeps every sign while they would overflow.
std::size_t SturmCount(const Matrix& t, double x) {
  const std::size_t n = t.rows();
  double p0 = x - t(0, 0);
  double p1 = (x - t(1, 1)) * p0 - t(0, 1) * t(0, 1);
  std::size_t count = (p0 <= 0 ? 1 : 0) + (SignsDisagreeOrZero(p0, p1) ? 1 : 0);
  for (std::size_t i = 2; i < n; ++i) {
    const double p2 = (x - t(i, i)) * p1 - t(i - 1, i) * t(i - 1, i) * p0;
    p0 = p1;
    p1 = p2;
    if (SignsDisagreeOrZero(p0, p1)) ++count;
    const double larger = std::max(std::fabs(p0), std::fabs(p1));
    if (larger > 0x1p500 || (larger > 0 && larger < 0x1p-500)) {
      const int exponent = std::ilogb(larger);
      p0 = std::ldexp(p0, -exponent);
      p1 = std::ldexp(p1, -exponent);
    }
  }
  return count;
}

// The eigenvalues of a tridiagonal matrix (n >= 2), largest first, each by bisection
// below the one found before it. Rounding can make the Sturm counts of a badly scaled
// matrix contradict the eigenvalues already found, and the search then restarts without
// end; past a generous bound on its steps the eigenvalues not yet found are nan.
Vector BisectEigenvalues(const Matrix& t) {
  constexpr int kMaxSteps = 20000;
  const std::size_t n = t.rows();
  const double g = EigenvalueBound(t);
  Vector values(n, std::numeric_limits<double>::quiet_NaN());
  double x = g;
  for (std::size_t k = 1; k <= n; ++k) {
    double lo = -g;
    double hi = x;
    x = (lo + hi) / 2;
    for (int step = 0;; ++step) {
      if (step == kMaxSteps) return values;
      const std::size_t count = SturmCount(t, x);
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
// (U has a unit diagonal). No singularity test: a shift by an eigenvalue leaves a tiny
// last pivot, which is what inverse iteration feeds on.
struct ShiftedFactors {
  Matrix lu;
  std::vector<std::size_t> pivot;  // pivot[i]: the row of M now at i
};

void SwapToLargestInColumn(ShiftedFactors& f, std::size_t j) {
  const std::size_t n = f.lu.rows();
  std::size_t best = j;
  for (std::size_t i = j + 1; i < n; ++i) {
    if (std::fabs(f.lu(i, j)) > std::fabs(f.lu(best, j))) best = i;
  }
  if (best != j) {
    f.lu.SwapRows(j, best);
    std::swap(f.pivot[j], f.pivot[best]);
  }
}

ShiftedFactors FactorShifted(const Matrix& b, double shift) {
  const std::size_t n = b.rows();
  ShiftedFactors f{Matrix(n, n), std::vector<std::size_t>(n)};
  std::iota(f.pivot.begin(), f.pivot.end(), std::size_t{0});
  Matrix& m = f.lu;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) m(i, j) = (i == j ? shift : 0.0) - b(i, j);
  }
  SwapToLargestInColumn(f, 0);
  for (std::size_t j = 1; j < n; ++j) m(0, j) /= m(0, 0);
  for (std::size_t j = 1; j + 1 < n; ++j) {
    for (std::size_t i = j; i < n; ++i) {
      for (std::size_t l = 0; l < j; ++l) m(i, j) -= m(i, l) * m(l, j);
    }
    SwapToLargestInColumn(f, j);
    for (std::size_t l = j + 1; l < n; ++l) {
      double sum = m(j, l);
      for (std::size_t q = 0; q < j; ++q) sum -= m(j, q) * m(q, l);
      m(j, l) = sum / m(j, j);
    }
  }
  for (std::size_t l = 0; l + 1 < n; ++l) m(n - 1, n - 1) -= m(n - 1, l) * m(l, n - 1);
  return f;
}

// Solves L U y = e_r for the unit vector at the row named by pivot entry start.
Vector SolveTrial(const ShiftedFactors& f, std::size_t start) {
  const Matrix& m = f.lu;
  const std::size_t n = m.rows();
  Vector y(n, 0.0);
  y[f.pivot[start]] = 1;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t l = 0; l < i; ++l) y[i] -= m(i, l) * y[l];
    y[i] /= m(i, i);
  }
  for (std::size_t i = n - 1; i-- > 0;) {
    for (std::size_t l = i + 1; l < n; ++l) y[i] -= m(i, l) * y[l];
  }
  return y;
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

// The eigenvectors of a symmetric matrix of order 3 or more by inverse iteration on its
// bisected eigenvalues, refining each eigenvalue on the way. Eigenvalues closer than the
// bisection width share one factorisation and are made orthogonal to each other.
Matrix InverseIterationVectors(const Matrix& b, Vector& values) {
  const std::size_t n = b.rows();
  Matrix vectors(n, n);
  std::size_t cluster = 0;  // vectors made ahead with the current cluster
  for (std::size_t k = 0; k < n; ++k) {
    if (cluster > 0) {
      --cluster;
      continue;
    }
    const double shift = std::fabs(values[k]) < 1e-10 ? 1e-10 : values[k];
    const double sign = Sign(values[k]);
    const ShiftedFactors factors = FactorShifted(b, shift);
    std::size_t start = 0;
    for (;;) {
      const std::size_t target = k + cluster;
      Vector v = InverseIterationTrial(factors, start);
      if (std::fabs(values[target]) > 1e-5) {
        v = MultiplyVector(b, v);
        values[target] = sign * NormOne(v);
      }
      NormaliseLength(v);
      if (cluster > 0) {
        for (std::size_t j = k; j < target; ++j) {
          const Vector made = Column(vectors, j);
          const double along = Dot(v, made);
          for (std::size_t i = 0; i < n; ++i) v[i] -= along * made[i];
        }
        NormaliseLength(v);
      }
      SetColumn(vectors, target, v);
      if (target + 1 == n) break;
      const double next_gap = std::fabs(values[target] - values[target + 1]);
      if (next_gap > kBisectionWidth * std::max(1.0, std::fabs(values[target]))) break;
      ++cluster;
      ++start;
    }
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

  Matrix tridiagonal = a;
  Tridiagonalise(tridiagonal);
  eigen.values = BisectEigenvalues(tridiagonal);
  eigen.vectors =
      n == 2 ? TwoByTwoEigenvectors(a, eigen.values) : InverseIterationVectors(a, eigen.values);
  return eigen;
}

}  // namespace tallo
