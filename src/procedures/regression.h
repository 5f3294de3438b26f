#pragma once
// Linear systems on covariance matrices: multiple regression, Fisher's linear discriminant
// and Mahalanobis' discriminant analysis. The matrices use, for each pair of variables, the
// rows where both cells are numeric; a case with a missing cell has no fitted value,
// discriminant value or distance.

#include <string>

#include "procedures/registry.h"

namespace tallo {

// mra(table)=: the last data column regressed on all the others, with standardised
// coefficients, R, the analysis-of-variance table and the p value of its F ratio.
std::string MultipleRegression(DataSets data, const ReportOptions& options);

// lda(tableA,tableB)=: the discriminant function from the pooled covariance matrix of two
// groups, and how many cases of each group fall on each side of it.
std::string LinearDiscriminant(DataSets data);

// mda(tableA,tableB,tableC)=: each case of the third table assigned to the group to which
// its Mahalanobis distance is smaller.
std::string MahalanobisDiscriminant(DataSets data);

}  // namespace tallo
