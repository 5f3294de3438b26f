#pragma once
// Probabilities computed in closed form or by short series.

#include <optional>

namespace tallo {

// Two-sided P(|T| >= |t|) for Student's t with df degrees of freedom, by the closed
// series in theta = atan(t / sqrt(df)) (Abramowitz and Stegun 26.7.3-4). df < 1 gives 0.
double ProbT(double t, int df);

// Upper-tail probability P(F(df1, df2) > f) as 1 - I_x(df1/2, df2/2), x = df1 f / (df1 f +
// df2), by the series of the regularised incomplete beta function (taken from the smaller
// tail). f <= 0 gives 1, an infinite f gives 0, and results below 1e-12 are 0. nan for a
// nan f or degrees of freedom below 1; nullopt when the series does not converge.
std::optional<double> ProbF(double f, int df1, int df2);

// ln Gamma(x) for x > 0: exact sums of logarithms for whole and half-whole x below 10,
// Stirling's series from 10 on, and below 10 otherwise Stirling's series shifted down by
// the recurrence Gamma(x + 1) = x Gamma(x).
double LogGamma(double x);

}  // namespace tallo
