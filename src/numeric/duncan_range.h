#pragma once
// Duncan's significant studentized ranges, for the multiple range test.

namespace tallo {

// The significant range for p means spanned with df error degrees of freedom, at
// P = 0.05 (level 5) or P = 0.01 (level 1): published values for the smallest df,
// otherwise a polynomial in 1/df fitted to the published table. nan where no range is
// defined: df below 1, p below 2, or any other level.
double DuncanRange(int df, int p, int level);

}  // namespace tallo
