#pragma once
// One table of cases (rows) by variables (columns): its covariance and correlation
// matrices, their eigen analysis and principal components. The pairwise covariances are
// shared with the regression and discrimination statements.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "numeric/matrix.h"
#include "procedures/registry.h"
#include "text/data_readers.h"

namespace tallo {

struct PairwiseCovariances {
  std::vector<std::string> labels;  // the header cell of each data column
  // Covariances on and below the diagonal (variances on it), correlations above.
  Matrix combined;
  std::vector<double> means;      // of all numeric cells of each column
  std::vector<double> mean_lows;  // what rounding left out of each mean (SplitMean::low)
  std::size_t case_count = 0;     // the fewest complete rows of any pair of variables

  std::size_t variables() const { return labels.size(); }
};

// The covariance of each pair of data columns over the rows where both cells are numeric,
// so a missing cell drops its row from the pairs of its column only. A correlation divides
// its pair's covariance by the standard deviations of the two whole columns. Pairs with
// fewer than two rows, and correlations with a constant column, are nan.
PairwiseCovariances CovarianceTable(const CellGrid& grid);

// The covariance table of a data set read as a table, worked out once for every statement
// on it.
const PairwiseCovariances& CovariancesOf(const DataSet& data);

enum class SquareKind { kCovariance, kCorrelation };

// The full symmetric matrix of one kind: the covariance triangle mirrored, or the
// correlation triangle mirrored with 1 on the diagonal.
Matrix FullMatrix(const PairwiseCovariances& table, SquareKind kind);

// What a statement abandoned on a singular matrix writes: its title line and a line
// saying so.
std::string SingularMatrixReport(std::string_view title);

// vcmtrx(table)=: the combined square in "%0.2e", then each variable's mean and standard
// deviation and the case count.
std::string VarCovMatrix(DataSets data);

// The eigen analysis of a data set's covariance matrix (read as a table), or with
// use_correlation of its correlation matrix. Plain, it lists the matrix, eigenvalues, proportions and
// eigenvectors in "%0.2e"; with principal_components, the factors whose eigenvalue is at
// least 0.01, their loadings and (on correlations) each case's component scores, nan for a
// case with a missing cell.
std::string EigenAnalysis(const DataSet& data, bool use_correlation,
                          bool principal_components);

// eigenvv(table)=, eigenvc(table)= and pca(table)=.
std::string EigenOfCovariance(DataSets data);
std::string EigenOfCorrelation(DataSets data);
std::string PrincipalComponents(DataSets data);

}  // namespace tallo
