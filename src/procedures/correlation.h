#pragma once
// Correlation of paired samples: Pearson's r with the regression line of y on x, Spearman's
// and Kendall's rank correlations, and the test of the difference between two Pearson r's.

#include <span>
#include <string>

#include "procedures/registry.h"

namespace tallo {

// rtest(a,b)=: r labelled by the table of critical r, and the line Y = bX + a marked
// "( * )" when its F exceeds the upper 2.5% point.
std::string PearsonReport(DataSets data, const ReportOptions& options);

// sptest(a,b)=: rs from mid-ranks with the tie correction, labelled by t with n - 2 df.
std::string SpearmanReport(DataSets data, const ReportOptions& options);

// kdtest(a,b)=: tau-b, labelled by the normal test of S without tie correction.
std::string KendallReport(DataSets data, const ReportOptions& options);

// drtest(table)=: Fisher's z test of ra = rb from a table of rows "label, n, r".
std::string CorrelationDifferenceReport(DataSets data, const ReportOptions& options);

// Kendall's S, concordant minus discordant pairs (a pair tied in x or in y counts
// nothing), with the tied pairs of x and of y. Counted in O(n log n) after Knight.
struct KendallCounts {
  long long score = 0;
  long long x_tied_pairs = 0;
  long long y_tied_pairs = 0;
};
KendallCounts CountKendallPairs(std::span<const double> x, std::span<const double> y);

}  // namespace tallo
