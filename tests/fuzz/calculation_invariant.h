#pragma once
// What must hold for any text: the calculation is the input plus its insertions, in
// ascending order, each right after an "=", and removing them gives the input back; asking
// for exact p-values changes nothing but a field "\tp=..." at the end of some lines. Asking
// for reasons changes neither, and each reason stands at an "=" of the input and of the
// calculated text, one per "=", in order, on its line. For worksheets as people write
// them, a second calculation inserts nothing more.

#include <string>
#include <string_view>

#include "engine/calculate.h"

namespace tallo::fuzzing {

// Calculates text, with and without p-values, and checks the invariant; returns a
// description of the first violation, or an empty string.
std::string CheckCalculation(std::string_view text);

// Calculates an already calculated text; returns what that inserts, or an empty string.
std::string SecondCalculationGains(std::string_view calculated,
                                   const CalculationOptions& options = {});

}  // namespace tallo::fuzzing
