#pragma once
// The last step of finding reasons: one reason per "=" out of what both passes found, placed
// in the input text with its line and column, and "not defined" turned into "defined
// below" where a definition further down shows what was meant.

#include <string_view>
#include <vector>

#include "engine/found_reason.h"
#include "engine/insertions.h"
#include "engine/line_ends.h"
#include "engine/reasons.h"

namespace tallo {

struct FoundByPasses {
  FoundReasons pre_pass;                     // offsets in crlf.text()
  FoundReasons driver;                       // offsets in crlf.text() with the answers inserted
  const std::vector<Insertion>& answers;     // of the pre-pass, into crlf.text()
  const std::vector<Insertion>& insertions;  // of both passes, into crlf.text()
};

// The reasons in the order of their "=" in original, the text crlf views.
std::vector<Reason> PlaceReasons(FoundByPasses found, const CrLfView& crlf,
                                 std::string_view original);

}  // namespace tallo
