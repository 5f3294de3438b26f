#pragma once
// The worksheet pre-pass: records scalar variables (x=5.5) line by line and answers every
// scalar expression that ends in "=" (x*2+sqrt(y)=) by inserting its value after the "=".
// Data sets and statements pass untouched; the statement driver handles them next.

#include <functional>
#include <string>
#include <string_view>

#include "engine/calculation_counts.h"
#include "engine/evaluator.h"
#include "engine/found_reason.h"

namespace tallo {

// Receives an answer as the pre-pass finds it, to insert before the input's character at
// offset; offsets ascend.
using AnswerSink = std::function<void(std::size_t offset, std::string_view answer)>;

// Finds the answers of one worksheet text, whose lines may end in CR LF, LF or both, in
// text order. With reasons given, each "=" that ends an expression and gets no answer adds
// why, when something was tried; with counts given, the answers are counted there. Most
// expressions are read in one pass; without one_pass every expression takes the full
// extraction, which the one-pass reading must agree with wherever it reads at all.
void RunPrePass(std::string_view text, const AnswerSink& answer, FoundReasons* reasons = nullptr,
                CalculationCounts* counts = nullptr, bool one_pass = true);

// The answer the reducer gives an extracted expression: the trailing number of the
// evaluated text, when that is one number as written (a sum cut off by the step bound, or
// "5-+-3", which no step can reduce, is no answer) and is not the last operand of an
// operation left undone ("2**3", "foo(2)+3"). With trouble given, what went wrong goes there.
std::string ReducerAnswer(std::string_view expression, ReductionTrouble* trouble = nullptr);

// The last run of "+-.0123456789e" in an evaluated text: the answer to insert. A text
// that ends in any other character ("FALSE", "inf", an unreduced call) gives nothing.
std::string KeepTrailingNumber(std::string_view text);

}  // namespace tallo
