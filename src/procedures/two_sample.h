#pragma once
// Tests that compare two samples or one set of paired differences: Student's or Welch's t,
// the paired t, Mann-Whitney's rank-sum test, Wilcoxon's signed-rank test and the sign
// test. Samples too small for a formula still get their report, with nan or inf in it.

#include <string>

#include "procedures/registry.h"

namespace tallo {

// ttest(a,b)=: Student's t when an F test at the 5% level finds the variances alike,
// Welch's t when the larger variance over the smaller exceeds the F point.
std::string TTestReport(DataSets data, const ReportOptions& options);

// pttest(a,b)=: t of the differences of values paired by position.
std::string PairedTTestReport(DataSets data, const ReportOptions& options);

// mwtest(a,b)=: the rank sum of the smaller sample against the rank-sum table.
std::string MannWhitneyReport(DataSets data, const ReportOptions& options);

// wxtest(a,b)=: the smaller signed-rank sum of the non-zero paired differences.
std::string WilcoxonReport(DataSets data, const ReportOptions& options);

// signtest(a)=: a={r,n} or a={n,r}, the total n and one of its two counts; exact binomial
// probability up to n = 30, normal approximation beyond.
std::string SignTestReport(DataSets data, const ReportOptions& options);

// Welch-Satterthwaite degrees of freedom of two samples with variances va and vb, written
// with six decimals and read back as a whole number (9.87 gives 9, 9.9999999 gives 10);
// 0 where undefined.
int WelchDegreesOfFreedom(double va, double na, double vb, double nb);

}  // namespace tallo
