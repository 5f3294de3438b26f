#pragma once
// A table of a columns (factor A) by n rows (factor B, the blocks), one observation per
// cell: two-way analysis of variance without replication, and Friedman's and Cochran's Q
// tests applied to both factors.

#include <string>

#include "procedures/registry.h"

namespace tallo {

// anovatw(table)=
std::string TwoWayAnovaReport(DataSets data, const ReportOptions& options);
// fmtest(table)=
std::string FriedmanReport(DataSets data, const ReportOptions& options);
// cqtest(table)= (the values are meant to be 0 or 1; they are not checked)
std::string CochranQReport(DataSets data, const ReportOptions& options);

}  // namespace tallo
