// Properties of the numerics on hard data: reports that do not depend on where the data sit
// or on the order of the rows, and eigenpairs to the rounding of the matrix.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "engine/calculate.h"
#include "numeric/matrix.h"
#include "text/number_text.h"

namespace tallo {
namespace {

// The texts inserted into a worksheet, in order.
std::vector<std::string> Reports(const std::string& worksheet) {
  std::vector<std::string> texts;
  for (const Insertion& insertion : CalculateWorksheet(worksheet).insertions) {
    texts.emplace_back(insertion.text);
  }
  return texts;
}

// Three groups in eighths, which doubles hold exactly at every offset below, and every
// statement whose report does not depend on the location of the data.
std::string OffsetWorksheet(double offset) {
  const std::vector<std::vector<double>> rows = {
      {1.125, 2.5, 3.875}, {0.75, 2.25, 4.5}, {1.5, 3, 3.625},
      {1.25, 2.625, 4.25}, {0.875, 2.125, 4}, {1.375, 2.875, 3.75}};
  std::string table = "t={\tga\tgb\tgc\n";
  std::string first = "a={";
  std::string second = "b={";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    table += "r" + std::to_string(r + 1);
    for (double v : rows[r]) table += "\t" + FormatFixed(offset + v, 3);
    table += "\n";
    first += FormatFixed(offset + rows[r][0], 3) + ",";
    second += FormatFixed(offset + rows[r][1], 3) + ",";
  }
  return table + "}\n" + first + "}\n" + second +
         "}\nanovaow(t)=\ndmtest(t)=\nanovatw(t)=\nkwtest(t)=\neigenvv(t)=\neigenvc(t)=\n"
         "pca(t)=\nttest(a,b)=\npttest(a,b)=\nsd(a)=\nse(b)=\n";
}

TEST(HardData, OffsetTwinsPrintTheSameReports) {
  const std::vector<std::string> at_zero = Reports(OffsetWorksheet(0));
  ASSERT_EQ(at_zero.size(), 11u);
  EXPECT_NE(at_zero[0].find("P<0.005"), std::string::npos) << at_zero[0];
  for (double offset : {1e4, 1e6, 1e9, 1e12}) {
    EXPECT_EQ(Reports(OffsetWorksheet(offset)), at_zero) << offset;
  }
}

// Two groups with events and censored subjects tied at 4 and 9; group A written in every
// order of its rows.
TEST(HardData, OrderOfSurvivalRowsChangesNothing) {
  const std::vector<std::string> subjects = {"4\t0", "4\t1", "4\t0", "9\t1", "9\t0", "13\t0"};
  const std::string rest = "b={\tt\tc\nb1\t3\t0\nb2\t4\t1\nb3\t6\t0\nb4\t9\t0\nb5\t11\t1\n}\n"
                           "d={4}\ne={9}\nkapmrtest(a,b,d)=\nkapmrtest(a,b,e)=\ngenwxtest(a,b)=\n";
  std::vector<std::size_t> order(subjects.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::vector<std::string> first;
  do {
    std::string table = "a={\tt\tc\n";
    for (std::size_t i : order) table += "s" + std::to_string(i) + "\t" + subjects[i] + "\n";
    const std::vector<std::string> reports = Reports(table + "}\n" + rest);
    if (first.empty()) first = reports;
    ASSERT_EQ(reports, first) << table;
  } while (std::next_permutation(order.begin(), order.end()));
}

Matrix Square(const std::vector<std::vector<double>>& rows, double scale = 1) {
  Matrix m(rows.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = 0; j < rows.size(); ++j) m(i, j) = scale * rows[i][j];
  }
  return m;
}

// Wilkinson's W21+: eigenvalues in pairs that agree to 15 digits.
Matrix Wilkinson() {
  Matrix m(21, 21);
  for (std::size_t i = 0; i < 21; ++i) {
    m(i, i) = std::fabs(10.0 - static_cast<double>(i));
    if (i + 1 < 21) m(i, i + 1) = m(i + 1, i) = 1;
  }
  return m;
}

TEST(HardData, EigenpairsToTheRoundingOfTheMatrix) {
  // Covariances of u, 2u + 0.01 noise and w (tests/worksheets/hard_data_eigen.txt, by R cov).
  const std::vector<std::vector<double>> collinear = {
      {816.54444444444448, 1633.03888888888878, -1752.38888888888891},
      {1633.03888888888878, 3265.97788888888908, -3504.16111111111104},
      {-1752.38888888888891, -3504.16111111111104, 10083.61111111111131}};
  const std::vector<std::vector<double>> ones = {{2, 1, 1, 1}, {1, 2, 1, 1}, {1, 1, 2, 1}, {1, 1, 1, 2}};
  const std::vector<Matrix> cases = {
      Square(collinear),       Square(collinear, 1e-12), Square(collinear, 1e12),
      Square(collinear, 1e200), Square(collinear, 1e-200),
      Square(ones),            Square({{1, 0, 0}, {0, 3, 0}, {0, 0, 2}}),
      Square({{2, 1}, {1, 2}}), Wilkinson(),
      // the one entry far from 1 in the first row
      Square({{1e200, 0, 0}, {0, 2, 0}, {0, 0, 1}}), Square({{1e-200, 0, 0}, {0, 0, 0}, {0, 0, 0}}),
      // ... coupled to entries near 1, whose shifted columns have pivots far below the rest
      Square({{1e200, 1, 0}, {1, 2, 1}, {0, 1, 3}}),
      // a zero row beside a singular block: the first approximations miss a vector of the
      // eigenvalue 0 twice over, which a unit vector supplies
      Square({{4, 2, 0, 0}, {2, 1, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 9}}),
      Square({{1, 1, 1, 0}, {1, 1, 1, 0}, {1, 1, 1, 0}, {0, 0, 0, 0}})};
  for (std::size_t c = 0; c < cases.size(); ++c) {
    const Matrix& a = cases[c];
    const std::size_t n = a.rows();
    const EigenSystem eigen = EigenSymmetric(a);
    double norm = 0;
    for (std::size_t i = 0; i < n; ++i) {
      double row = 0;
      for (std::size_t j = 0; j < n; ++j) row += std::fabs(a(i, j));
      norm = std::max(norm, row);
    }
    for (std::size_t j = 0; j < n; ++j) {
      if (j > 0) {
        EXPECT_LE(eigen.values[j], eigen.values[j - 1]) << c;
      }
      // Largest entries, so that the matrices near 1e200 do not overflow here.
      double residual = 0;
      for (std::size_t i = 0; i < n; ++i) {
        double av = -eigen.values[j] * eigen.vectors(i, j);
        for (std::size_t k = 0; k < n; ++k) av += a(i, k) * eigen.vectors(k, j);
        residual = std::max(residual, std::fabs(av));
      }
      EXPECT_LE(residual, 1e-12 * norm) << c << " pair " << j;
      for (std::size_t k = 0; k <= j; ++k) {
        double dot = 0;
        for (std::size_t i = 0; i < n; ++i) dot += eigen.vectors(i, j) * eigen.vectors(i, k);
        EXPECT_NEAR(dot, j == k ? 1 : 0, 1e-12) << c << " vectors " << j << ", " << k;
      }
    }
  }
}

}  // namespace
}  // namespace tallo
