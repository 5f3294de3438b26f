#pragma once
// Small dense matrices of doubles and the linear algebra of the multivariate statements:
// in-place Gauss-Jordan inversion and the eigen decomposition of a symmetric matrix.

#include <cassert>
#include <cstddef>
#include <optional>
#include <vector>

namespace tallo {

// A row-major matrix of doubles that owns its values; new entries are 0.
class Matrix {
 public:
  Matrix() = default;
  Matrix(std::size_t rows, std::size_t columns)
      : rows_(rows), columns_(columns), values_(rows * columns, 0.0) {}

  std::size_t rows() const { return rows_; }
  std::size_t columns() const { return columns_; }

  double& operator()(std::size_t row, std::size_t column) {
    assert(row < rows_ && column < columns_);
    return values_[row * columns_ + column];
  }
  double operator()(std::size_t row, std::size_t column) const {
    assert(row < rows_ && column < columns_);
    return values_[row * columns_ + column];
  }

  void SwapRows(std::size_t a, std::size_t b);
  void SwapColumns(std::size_t a, std::size_t b);

 private:
  std::size_t rows_ = 0;
  std::size_t columns_ = 0;
  std::vector<double> values_;
};

// Step k of Gauss-Jordan on a square matrix: moves the first entry of largest magnitude in
// column k, rows k onward, onto the diagonal by a row interchange recorded in perm
// (perm[i] is the original index of the row now at i). False when the matrix is singular:
// an exact zero on the diagonal (no search is made), or no candidate larger than 1e-10 in
// magnitude.
bool SelectPivot(Matrix& a, std::size_t k, std::vector<std::size_t>& perm);

// Replaces a square matrix of any order by its inverse: Gauss-Jordan with row
// interchanges, undone by column interchanges at the end. An exact zero on the diagonal
// means singular here: every caller inverts a sum-of-squares matrix, which is positive
// semi-definite. Returns false for a singular matrix; a is then spoilt.
bool InvertMatrix(Matrix& a);

// InvertMatrix on a symmetric matrix whose rows and columns are first scaled by powers of
// two that bring its diagonal near 1, and scaled back after: exact, and the singularity test
// then judges each pivot against the matrix's own scale, so that the covariances of
// readings in micro-units are not taken for singular. False for a singular matrix.
bool InvertEquilibrated(Matrix& a);

// The product a x; x has a.columns() entries.
std::vector<double> MultiplyVector(const Matrix& a, const std::vector<double>& x);

// The coefficients c that minimise |design c - y| (design: one row per observation), by
// Householder QR of the design itself: unlike the normal equations it does not square the
// design's condition. Nothing when a column depends exactly on those before it.
std::optional<std::vector<double>> SolveLeastSquares(Matrix design, std::vector<double> y);

struct EigenSystem {
  std::vector<double> values;  // largest first
  Matrix vectors;              // column j: the unit eigenvector of values[j]
};

// All eigenvalues and eigenvectors of a symmetric matrix: Householder tridiagonalisation
// and bisection on Sturm sequences down to the rounding of the matrix's norm. For three or
// more rows each vector comes from inverse iteration at its eigenvalue, made orthogonal to
// those before it; it starts from, and points the way of, one step of inverse iteration
// from a unit trial vector at a shift bisected to a relative width of 1e-6. Two rows take
// the vectors in closed form; one row gives its entry and the vector (1). A matrix with a
// non-finite entry gives nan throughout.
EigenSystem EigenSymmetric(const Matrix& a);

}  // namespace tallo
