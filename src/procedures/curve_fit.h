#pragma once
// Least-squares polynomial fit of degree 1 to 4 to paired data, in x or in 1/x.

#include <cstddef>
#include <span>
#include <string>

#include "numeric/matrix.h"
#include "procedures/registry.h"

namespace tallo {

// lsq(a,b,d)=: x from a, y from b (pairs where both items are numeric), degree d. A
// positive d fits y = c0 + c1 x + ... + cd x^d; a negative d fits y = c0 + c1 / x + ...
// + c|d| / x^|d|, the least-squares fit in the powers of 1/x. Any other d gives
// "--Invalid Value--" alone.
std::string LeastSquaresFit(DataTexts data);

// The normal equations of the basis 1, u, ..., u^(order-1): M[i][j] = moments[i + j],
// moments[k] being the sum of u^k.
Matrix BuildMomentMatrix(std::span<const double> moments, std::size_t order);

}  // namespace tallo
