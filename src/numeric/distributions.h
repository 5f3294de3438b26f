#pragma once
// Probabilities computed in closed form.

namespace tallo {

// Two-sided P(|T| >= |t|) for Student's t with df degrees of freedom, by the closed
// series in theta = atan(t / sqrt(df)) (Abramowitz and Stegun 26.7.3-4). df < 1 gives 0.
double ProbT(double t, int df);

}  // namespace tallo
