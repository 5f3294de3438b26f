#pragma once
// The calculation changes a worksheet only by inserting text; these are the insertions.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tallo {

// Text to insert before the character at offset (offset == size appends).
struct Insertion {
  std::size_t offset = 0;
  std::string text;

  bool operator==(const Insertion&) const = default;
};

// The text with the insertions applied; insertions are in ascending offset order.
std::string ApplyInsertions(std::string_view text, const std::vector<Insertion>& insertions);

// One list for two passes: first applies to a text, second to the text first produced.
// The result applies to the original text; insertions at one offset are joined, in the
// order they stand in the final text.
std::vector<Insertion> ComposeInsertions(std::vector<Insertion> first,
                                         std::vector<Insertion> second);

}  // namespace tallo
