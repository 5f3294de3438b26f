#pragma once
// The worksheet pre-pass: records scalar variables (x=5.5) line by line and answers every
// scalar expression that ends in "=" (x*2+sqrt(y)=) by inserting its value after the "=".
// Data sets and statements pass untouched; the statement driver handles them next.

#include <string>
#include <string_view>
#include <vector>

#include "engine/insertions.h"

namespace tallo {

// The answers of one worksheet text (CR LF line ends), in text order.
std::vector<Insertion> RunPrePass(std::string_view text);

// Cuts an expression text that ends in "=" down to the expression proper ending there:
// operands standing side by side, an earlier "=", a dangling operator or an unmatched ")"
// end what came before. An expression with nothing to evaluate comes back as "=".
std::string ExtractExpression(std::string_view text);

// The text, or nothing when it holds an "e" that is not part of a number's exponent
// ("2e+3=" is kept; "2e3=", "e*2=" and "1.5e+x=" are emptied).
std::string CheckExponentMarkers(std::string text);

// The answer the reducer gives an extracted expression: the trailing number of the
// evaluated text, when that is one number as written (a sum cut off by the step bound, or
// "5-+-3", which no step can reduce, is no answer).
std::string ReducerAnswer(std::string_view expression);

// The last run of "+-.0123456789e" in an evaluated text: the answer to insert. A text
// that ends in any other character ("FALSE", "inf", an unreduced call) gives nothing.
std::string KeepTrailingNumber(std::string_view text);

}  // namespace tallo
