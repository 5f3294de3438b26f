#pragma once
// Least-squares polynomial fit of degree 1 to 4 to paired data, in x or in 1/x.

#include <string>

#include "procedures/registry.h"

namespace tallo {

// lsq(a,b,d)=: x from a, y from b (pairs where both items are numeric), degree d. A
// positive d fits y = c0 + c1 x + ... + cd x^d; a negative d fits y = c0 + c1 / x + ...
// + c|d| / x^|d|, the least-squares fit in the powers of 1/x. Any other d gives
// "--Invalid Value--" alone.
std::string LeastSquaresFit(DataSets data);

}  // namespace tallo
