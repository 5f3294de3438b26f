#pragma once
// The one-pass reading of an expression on a line: the line's tokens in front of an "=" cut
// straight into the direct evaluator's lexemes, variables read in place, without joining a
// text, extracting from it and cutting it again. It reads only expressions that the
// extraction keeps whole and that the direct evaluator can answer; anything else (prose, an
// exponent, a name beside a number, a blank inside a number or a name) is left to the full
// extraction, so where it reads an expression at all it reads it as that would.

#include <span>
#include <string_view>

#include "engine/direct_evaluator.h"
#include "engine/variable_table.h"

namespace tallo {

// Cuts the expression that ends before line token equals, from token start (the line's
// first, or the "=" of the expression before), into lexemes, which come in place of what
// lexemes held. False when the reading declines it.
bool CutLineExpression(std::span<const std::string_view> tokens, std::size_t start,
                       std::size_t equals, const VariableTable& variables, Lexemes& lexemes);

}  // namespace tallo
