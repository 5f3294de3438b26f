#include "numeric/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <numbers>
#include <vector>

namespace tallo {
namespace {

Matrix MatrixOf(std::initializer_list<std::initializer_list<double>> rows) {
  Matrix m(rows.size(), rows.begin()->size());
  std::size_t i = 0;
  for (const auto& row : rows) {
    std::size_t j = 0;
    for (double v : row) m(i, j++) = v;
    ++i;
  }
  return m;
}

void ExpectMatrixNear(const Matrix& actual, const Matrix& expected, double tolerance) {
  ASSERT_EQ(actual.rows(), expected.rows());
  ASSERT_EQ(actual.columns(), expected.columns());
  for (std::size_t i = 0; i < expected.rows(); ++i) {
    for (std::size_t j = 0; j < expected.columns(); ++j) {
      EXPECT_NEAR(actual(i, j), expected(i, j), tolerance) << i << "," << j;
    }
  }
}

Matrix Product(const Matrix& a, const Matrix& b) {
  Matrix c(a.rows(), b.columns());
  for (std::size_t i = 0; i < a.rows(); ++i) {
    for (std::size_t j = 0; j < b.columns(); ++j) {
      for (std::size_t k = 0; k < a.columns(); ++k) c(i, j) += a(i, k) * b(k, j);
    }
  }
  return c;
}

Matrix Identity(std::size_t n) {
  Matrix m(n, n);
  for (std::size_t i = 0; i < n; ++i) m(i, i) = 1;
  return m;
}

// The tridiagonal matrix with 2 on the diagonal and -1 beside it, times scale. Its
// eigenvalues are scale (2 - 2 cos(k pi / (n + 1))), eigenvector k has components
// sin(j k pi / (n + 1)) (the second difference matrix, solved by hand).
Matrix SecondDifference(std::size_t n, double scale) {
  Matrix m(n, n);
  for (std::size_t i = 0; i < n; ++i) {
    m(i, i) = 2 * scale;
    if (i + 1 < n) m(i, i + 1) = m(i + 1, i) = -scale;
  }
  return m;
}

double SecondDifferenceEigenvalue(std::size_t n, std::size_t k, double scale) {
  return scale * (2 - 2 * std::cos(static_cast<double>(k) * std::numbers::pi / (n + 1.0)));
}

// A v = lambda v and |v| = 1 for every eigenpair: sign-insensitive.
void ExpectEigenpairs(const Matrix& a, const EigenSystem& eigen, double tolerance) {
  const std::size_t n = a.rows();
  ASSERT_EQ(eigen.values.size(), n);
  ASSERT_EQ(eigen.vectors.rows(), n);
  ASSERT_EQ(eigen.vectors.columns(), n);
  for (std::size_t j = 0; j < n; ++j) {
    double length = 0;
    for (std::size_t i = 0; i < n; ++i) length += eigen.vectors(i, j) * eigen.vectors(i, j);
    EXPECT_NEAR(length, 1, 1e-9) << "vector " << j;
    for (std::size_t i = 0; i < n; ++i) {
      double av = 0;
      for (std::size_t k = 0; k < n; ++k) av += a(i, k) * eigen.vectors(k, j);
      EXPECT_NEAR(av, eigen.values[j] * eigen.vectors(i, j), tolerance) << i << "," << j;
    }
  }
}

// One step of inverse iteration from a shift known to a relative 1e-6 leaves eigenvectors
// orthogonal to about 1e-6 over the eigenvalue gap.
void ExpectOrthonormalColumns(const Matrix& v, double tolerance) {
  for (std::size_t a = 0; a < v.columns(); ++a) {
    for (std::size_t b = 0; b < v.columns(); ++b) {
      double dot = 0;
      for (std::size_t i = 0; i < v.rows(); ++i) dot += v(i, a) * v(i, b);
      EXPECT_NEAR(dot, a == b ? 1 : 0, tolerance) << a << "," << b;
    }
  }
}

TEST(InvertMatrix, Inverts) {
  Matrix diagonal = MatrixOf({{2, 0}, {0, 4}});
  ASSERT_TRUE(InvertMatrix(diagonal));
  ExpectMatrixNear(diagonal, MatrixOf({{0.5, 0}, {0, 0.25}}), 1e-15);

  // Needs row interchanges at the first two steps. R: solve(matrix(c(1,2,1,2,5,0,3,3,8),3))
  Matrix interchanged = MatrixOf({{1, 2, 3}, {2, 5, 3}, {1, 0, 8}});
  ASSERT_TRUE(InvertMatrix(interchanged));
  ExpectMatrixNear(interchanged, MatrixOf({{-40, 16, 9}, {13, -5, -3}, {5, -2, -1}}), 1e-12);

  Matrix single = MatrixOf({{-8}});
  ASSERT_TRUE(InvertMatrix(single));
  EXPECT_EQ(single(0, 0), -0.125);

  Matrix empty;
  EXPECT_TRUE(InvertMatrix(empty));
}

TEST(InvertMatrix, ProductWithOriginalIsIdentityBeyondOrder26) {
  // A symmetric positive definite matrix of order 30 with off-diagonal entries large
  // enough that pivots are chosen below the diagonal.
  const std::size_t n = 30;
  Matrix a(n, n);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) {
      a(i, j) = 1.0 / (1.0 + static_cast<double>(i > j ? i - j : j - i)) + (i == j ? 0.5 : 0);
    }
  }
  a(3, 17) = a(17, 3) = 1.2;
  Matrix inverse = a;
  ASSERT_TRUE(InvertMatrix(inverse));
  ExpectMatrixNear(Product(a, inverse), Identity(n), 1e-10);
  ExpectMatrixNear(Product(inverse, a), Identity(n), 1e-10);
}

TEST(InvertMatrix, ReportsSingularMatrices) {
  Matrix zero_diagonal = MatrixOf({{0, 1}, {1, 0}});  // exact zero: no search is made
  EXPECT_FALSE(InvertMatrix(zero_diagonal));
  Matrix tiny_pivot = MatrixOf({{1e-10, 0}, {1e-11, 1}});  // largest candidate <= 1e-10
  EXPECT_FALSE(InvertMatrix(tiny_pivot));
  Matrix collinear = MatrixOf({{1, 2, 3}, {2, 4, 6}, {3, 6, 10}});
  EXPECT_FALSE(InvertMatrix(collinear));
  Matrix nothing(2, 2);
  EXPECT_FALSE(InvertMatrix(nothing));

  Matrix just_above = MatrixOf({{2e-10, 0}, {0, 1}});
  ASSERT_TRUE(InvertMatrix(just_above));
  EXPECT_NEAR(just_above(0, 0), 5e9, 1e-3);
}

TEST(SelectPivot, TakesTheFirstLargestBelowTheDiagonal) {
  Matrix a = MatrixOf({{1, 10}, {-3, 20}, {3, 30}});
  std::vector<std::size_t> perm = {0, 1, 2};
  ASSERT_TRUE(SelectPivot(a, 0, perm));
  EXPECT_EQ(a(0, 0), -3);  // |-3| and |3| tie: the first one wins
  EXPECT_EQ(a(0, 1), 20);  // the whole row moves
  EXPECT_EQ(a(1, 1), 10);
  EXPECT_EQ(perm, (std::vector<std::size_t>{1, 0, 2}));

  Matrix zero_first = MatrixOf({{0, 1}, {5, 1}});
  std::vector<std::size_t> unchanged = {0, 1};
  EXPECT_FALSE(SelectPivot(zero_first, 0, unchanged));
  EXPECT_EQ(zero_first(1, 0), 5);
}

TEST(EigenSymmetric, DiagonalMatrixInDescendingOrder) {
  const Matrix a = MatrixOf({{1, 0, 0}, {0, 3, 0}, {0, 0, 2}});
  const EigenSystem eigen = EigenSymmetric(a);
  const double expected[] = {3, 2, 1};
  const std::size_t axis[] = {1, 2, 0};
  for (std::size_t j = 0; j < 3; ++j) {
    // Converged to a relative width of 1e-6 (and then refined).
    EXPECT_NEAR(eigen.values[j], expected[j], 1e-6 * expected[j]);
    EXPECT_NEAR(std::fabs(eigen.vectors(axis[j], j)), 1, 1e-9);
  }
  ExpectEigenpairs(a, eigen, 1e-6);
}

TEST(EigenSymmetric, RepeatedEigenvaluesGiveOrthogonalVectors) {
  const EigenSystem identity = EigenSymmetric(Identity(3));
  for (double value : identity.values) EXPECT_NEAR(value, 1, 1e-6);
  ExpectOrthonormalColumns(identity.vectors, 1e-12);  // one cluster, made orthogonal

  // J + I of order 4 (J all ones): eigenvalue 5 once and 1 three times, by hand.
  Matrix a(4, 4);
  for (std::size_t i = 0; i < 4; ++i) {
    for (std::size_t j = 0; j < 4; ++j) a(i, j) = i == j ? 2 : 1;
  }
  const EigenSystem eigen = EigenSymmetric(a);
  EXPECT_NEAR(eigen.values[0], 5, 5e-6);
  for (std::size_t j = 1; j < 4; ++j) EXPECT_NEAR(eigen.values[j], 1, 1e-6);
  ExpectOrthonormalColumns(eigen.vectors, 1e-6);
  ExpectEigenpairs(a, eigen, 1e-5);
}

TEST(EigenSymmetric, OneAndTwoRows) {
  const EigenSystem single = EigenSymmetric(MatrixOf({{4.5}}));
  EXPECT_EQ(single.values, std::vector<double>{4.5});
  EXPECT_EQ(single.vectors(0, 0), 1);

  // [[2,1],[1,2]]: eigenvalues 3 and 1 with (1,1)/sqrt 2 and (1,-1)/sqrt 2, signs as
  // (b, lambda - a) gives them (by hand).
  const EigenSystem pair = EigenSymmetric(MatrixOf({{2, 1}, {1, 2}}));
  EXPECT_NEAR(pair.values[0], 3, 3e-6);
  EXPECT_NEAR(pair.values[1], 1, 1e-6);
  const double r = std::sqrt(0.5);
  EXPECT_NEAR(pair.vectors(0, 0), r, 1e-6);
  EXPECT_NEAR(pair.vectors(1, 0), r, 1e-6);
  EXPECT_NEAR(pair.vectors(0, 1), r, 1e-6);
  EXPECT_NEAR(pair.vectors(1, 1), -r, 1e-6);

  // Uncorrelated: the eigenvectors are the axes, not (0, 1) twice. For 2, (b, lambda - a)
  // vanishes and (lambda - d, b) = (1, 0) is taken as it is; for 1, (b, lambda - a) = (0, -1).
  const Matrix uncorrelated = MatrixOf({{2, 0}, {0, 1}});
  const EigenSystem axes = EigenSymmetric(uncorrelated);
  EXPECT_NEAR(axes.vectors(0, 0), 1, 1e-12);
  EXPECT_NEAR(axes.vectors(1, 1), -1, 1e-12);
  ExpectEigenpairs(uncorrelated, axes, 2e-6);

  // A small covariance beside unequal variances: exact vector (1, 1.1111e-4) by hand,
  // b / (lambda - d) with lambda = 10 + b^2 / 9, pointing the way (b, lambda - a) points.
  const EigenSystem nearly = EigenSymmetric(MatrixOf({{10, 0.001}, {0.001, 1}}));
  EXPECT_NEAR(nearly.vectors(1, 0) / nearly.vectors(0, 0), 0.001 / 9, 1e-6);
  EXPECT_GT(nearly.vectors(0, 0), 0);
}

// A first row heavier than the others bounds the eigenvalues: the block [[10,5],[5,3]] has
// trace 13 and determinant 5, so eigenvalues 6.5 +- sqrt(37.25) (by hand), beside 1.
TEST(EigenSymmetric, FirstRowBoundsTheLargestEigenvalue) {
  const Matrix heavy = MatrixOf({{10, 5, 0}, {5, 3, 0}, {0, 0, 1}});
  const EigenSystem eigen = EigenSymmetric(heavy);
  EXPECT_NEAR(eigen.values[0], 6.5 + std::sqrt(37.25), 1e-9);
  EXPECT_NEAR(eigen.values[1], 1, 1e-9);
  EXPECT_NEAR(eigen.values[2], 6.5 - std::sqrt(37.25), 1e-9);
  ExpectEigenpairs(heavy, eigen, 1e-6);
  // In millions the vectors are the same: the residual that accepts a vector grows with the
  // matrix, and no unit vector orthogonal to it takes its place.
  const Matrix millions = MatrixOf({{1e7, 5e6, 0}, {5e6, 3e6, 0}, {0, 0, 1e6}});
  const EigenSystem scaled = EigenSymmetric(millions);
  ExpectEigenpairs(millions, scaled, 1e-3);
  for (std::size_t i = 0; i < 3; ++i) {
    for (std::size_t j = 0; j < 3; ++j) {
      EXPECT_NEAR(std::fabs(scaled.vectors(i, j)), std::fabs(eigen.vectors(i, j)), 1e-9);
    }
  }
}

TEST(EigenSymmetric, SecondDifferenceMatrixOfOrder30) {
  const std::size_t n = 30;
  const Matrix a = SecondDifference(n, 1);
  const EigenSystem eigen = EigenSymmetric(a);
  // Gaps of about 0.01 to 0.1 between the eigenvalues.
  for (std::size_t j = 0; j < n; ++j) {
    EXPECT_NEAR(eigen.values[j], SecondDifferenceEigenvalue(n, n - j, 1), 1e-5) << j;
  }
  // Eigenvector of the largest eigenvalue: components sin(j k pi / 31) with k = 30,
  // normalised (sum of sin^2 is 31/2), up to sign.
  const double sign = eigen.vectors(0, 0) > 0 ? 1 : -1;
  for (std::size_t i = 0; i < n; ++i) {
    const double component = std::sin((i + 1.0) * 30 * std::numbers::pi / 31) / std::sqrt(31.0 / 2);
    EXPECT_NEAR(sign * eigen.vectors(i, 0), component, 1e-4) << i;
  }
  ExpectOrthonormalColumns(eigen.vectors, 1e-4);
}

TEST(EigenSymmetric, LargeEntriesOfAHighOrder) {
  // The leading minors of the Sturm sequence reach about 1e420 here.
  const std::size_t n = 40;
  const double scale = 1e10;
  const EigenSystem eigen = EigenSymmetric(SecondDifference(n, scale));
  for (std::size_t j = 0; j < n; ++j) {
    const double expected = SecondDifferenceEigenvalue(n, n - j, scale);
    EXPECT_NEAR(eigen.values[j], expected, 1e-6 * scale) << j;
  }
}

// Wherever it stands, on the diagonal or off it.
TEST(EigenSymmetric, NonFiniteEntryGivesNan) {
  const double nan = std::nan("");
  const double inf = std::numeric_limits<double>::infinity();
  for (const Matrix& a : {MatrixOf({{1, nan, 0}, {nan, 1, 0}, {0, 0, 1}}),
                          MatrixOf({{inf, 0, 0}, {0, 1, 0}, {0, 0, 1}}),
                          MatrixOf({{1, 0, 0}, {0, 1, 0}, {0, 0, nan}})}) {
    const EigenSystem eigen = EigenSymmetric(a);
    for (double value : eigen.values) EXPECT_TRUE(std::isnan(value));
    for (std::size_t i = 0; i < 3; ++i) {
      for (std::size_t j = 0; j < 3; ++j) EXPECT_TRUE(std::isnan(eigen.vectors(i, j)));
    }
  }
}

}  // namespace
}  // namespace tallo
