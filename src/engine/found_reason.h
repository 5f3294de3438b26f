#pragma once
// A reason as a pass finds it: at an "=" of the text that pass reads, before the reasons of
// both passes are chosen, one per "=", and placed in the input text (reason_placing.h).

#include <cstddef>
#include <string>
#include <vector>

#include "engine/reasons.h"

namespace tallo {

// Who found a reason, in ascending weight: when both passes explain one "=", the statement
// driver's reason about a statement it knows wins over the pre-pass's reason, which wins
// over the driver's reason about a statement name it does not know.
enum class ReasonSource { StatementName, Expression, Statement };

struct FoundReason {
  std::size_t offset = 0;  // of the "=" in the text the pass reads
  ReasonKind kind = ReasonKind::Unreduced;
  std::string message;
  ReasonSource source = ReasonSource::Expression;
  // With ReasonKind::Undefined, the name: a definition further down the text makes the
  // reason DefinedBelow (a variable for the pre-pass, a data set for the driver).
  std::string undefined;
};

using FoundReasons = std::vector<FoundReason>;

}  // namespace tallo
