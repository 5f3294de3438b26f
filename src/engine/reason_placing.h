#pragma once
// The last step of finding reasons: one reason per "=" out of what both passes found, placed
// in the input text with its line and column and in the calculated text, and "not defined"
// turned into "defined below" where a definition further down shows what was meant.

#include <string_view>
#include <vector>

#include "engine/found_reason.h"
#include "engine/insertions.h"
#include "engine/reasons.h"

namespace tallo {

struct FoundByPasses {
  FoundReasons pre_pass;                          // at "=" offsets of the input
  FoundReasons driver;                            // at "=" offsets of the input
  const std::vector<InsertedSpan>& insertions;  // of both passes, in offset order
};

// The reasons in the order of their "=" in the input.
std::vector<Reason> PlaceReasons(FoundByPasses found, std::string_view input);

}  // namespace tallo
