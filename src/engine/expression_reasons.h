#pragma once
// Why a scalar expression got no answer: the first thing in it that the worksheet cannot
// work out, in words that say what to write instead. Runs only for an "=" left unanswered.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/evaluator.h"
#include "engine/extraction.h"
#include "engine/found_reason.h"

namespace tallo {

struct UnansweredExpression {
  // The extraction of the tokens up to and including the "=", variables substituted; its
  // expression text is not read.
  const ExpressionTail& tail;
  std::string_view after;           // the rest of the line after the "="
  const ReductionTrouble& trouble;  // what the reducer met, when it ran
  // The defined variable nearest to an undefined name, or empty.
  std::function<std::string(std::string_view)> nearest_variable;
};

// The reason, without its offset; nothing when the text before the "=" is prose that holds
// no expression, when more text follows the "=" directly, or for a statement, which the
// statement driver explains.
std::optional<FoundReason> ExplainExpression(const UnansweredExpression& expression);

// Why a variable written against digits gives no answer: left and right are the line's
// tokens on either side of the junction, one a variable's name and the other starting or
// ending in digits ("2" and "x" of "2x", "x" and "2" of "x2").
FoundReason ExplainGluedOperands(std::string_view left, std::string_view right);

}  // namespace tallo
