#pragma once
// Tables of counts: the chi-square test of independence (or of equal frequencies for one
// row), Fisher's exact test, McNemar's test, the odds ratio and the relative risk.
//
// Each reads one table: row 0 holds the column labels, column 0 the row labels, and every
// data cell is read directly as a number (a label or an empty cell counts 0). Each report
// echoes the table with its row and column totals before its result.

#include <string>

#include "procedures/registry.h"

namespace tallo {

// xstest(table)=: X2 without continuity correction, or a message when too many expected
// counts are small.
std::string ChiSquareTestReport(DataSets data, const ReportOptions& options);

// fishertest(table)=: twice the one-sided sum of hypergeometric probabilities of the first
// 2x2 block, walking away from the table's smallest cell.
std::string FisherTestReport(DataSets data, const ReportOptions& options);

// mcntest(table)=: continuity-corrected McNemar X2 of the two counts on the diagonal of the
// first 2x2 block.
std::string McNemarTestReport(DataSets data, const ReportOptions& options);

// oddsratio(table)= and relativerisk(table)=: the measure of the first 2x2 block with its
// 95% confidence interval on the log scale.
std::string OddsRatioReport(DataSets data);
std::string RelativeRiskReport(DataSets data);

}  // namespace tallo
