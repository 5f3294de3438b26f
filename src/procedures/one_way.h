#pragma once
// Several independent groups, one per data column of a table: one-way analysis of variance
// with Bartlett's test and Fisher's least significant differences, the Kruskal-Wallis rank
// test, and Duncan's multiple range test.

#include <string>

#include "procedures/registry.h"

namespace tallo {

// anovaow(table)=
std::string OneWayAnovaReport(DataSets data, const ReportOptions& options);
// kwtest(table)=
std::string KruskalWallisReport(DataSets data, const ReportOptions& options);
// dmtest(table)=
std::string DuncanReport(DataSets data);

}  // namespace tallo
