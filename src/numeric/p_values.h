#pragma once
// Exact p-values of the statistics that the reports label: tail probabilities of Student's
// t, F, chi-square, the standard normal and the fair-coin binomial. A nan statistic, and
// degrees of freedom or counts for which the distribution does not exist, give nan.

namespace tallo {

// P(|T| >= |t|) for Student's t with df degrees of freedom.
double StudentTwoSidedP(double t, double df);

// P(F >= f) for F with df1 and df2 degrees of freedom.
double FUpperP(double f, double df1, double df2);

// P(X >= x) for chi-square with df degrees of freedom.
double ChiSquareUpperP(double x, double df);

// P(|Z| >= |z|) for the standard normal.
double NormalTwoSidedP(double z);

// The two-sided p-value of the sign test: a count at least as far from n/2 as r among n
// trials of probability 1/2, that is min(1, 2 P(X >= max(r, n - r))). nan unless n and r
// are whole numbers with 0 <= r <= n.
double FairCoinTwoSidedP(double n, double r);

}  // namespace tallo
