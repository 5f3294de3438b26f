#pragma once
// What must hold for any text: the calculation is the input plus its insertions, in
// ascending order, each right after an "=", and removing them gives the input back. Asking
// for reasons changes neither, and each reason stands at an "=" of the input and of the
// calculated text, one per "=", in order, on its line. For worksheets as people write
// them, a second calculation inserts nothing more.

#include <string>
#include <string_view>

namespace tallo::fuzzing {

// Calculates text and checks the invariant; returns a description of the first
// violation, or an empty string.
std::string CheckCalculation(std::string_view text);

// Calculates an already calculated text; returns what that inserts, or an empty string.
std::string SecondCalculationGains(std::string_view calculated);

}  // namespace tallo::fuzzing
