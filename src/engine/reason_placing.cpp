#include "engine/reason_placing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <unordered_map>

#include "text/char_classes.h"

namespace tallo {
namespace {

// The LFs of a text, eight bytes at a time, since placing reasons counts the lines of the
// whole text and a loop over single bytes is not vectorised at -O2. An LF byte is zero
// after the XOR; (x & 0x7F) + 0x7F sets a byte's high bit unless its low bits are zero,
// without a carry into the next byte, so the high bits left clear mark the zero bytes. The
// multiplication adds the marks up in the top byte.
std::size_t CountLineEnds(std::string_view text) {
  constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Full;
  constexpr std::uint64_t kLineEnds = 0x0A0A0A0A0A0A0A0Aull;
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  std::size_t count = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    const std::uint64_t x = word ^ kLineEnds;
    const std::uint64_t marks = ~(((x & kLowBits) + kLowBits) | x | kLowBits) >> 7;
    count += static_cast<std::size_t>((marks * kOnes) >> 56);
  }
  return count + static_cast<std::size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(i),
                                                     text.end(), '\n'));
}

bool Answered(const std::vector<InsertedSpan>& insertions, std::size_t equals) {
  const auto found = std::lower_bound(
      insertions.begin(), insertions.end(), equals + 1,
      [](const InsertedSpan& insertion, std::size_t offset) { return insertion.offset < offset; });
  return found != insertions.end() && found->offset == equals + 1;
}

// One reason per "=": the weightiest source wins, and what the pre-pass or the driver says
// about an "=" that the other pass answered is dropped.
FoundReasons ChooseOnePerEquals(FoundByPasses& found) {
  FoundReasons all = std::move(found.pre_pass);
  all.insert(all.end(), std::make_move_iterator(found.driver.begin()),
             std::make_move_iterator(found.driver.end()));
  std::stable_sort(all.begin(), all.end(),
                   [](const FoundReason& a, const FoundReason& b) { return a.offset < b.offset; });
  FoundReasons chosen;
  for (FoundReason& reason : all) {
    if (reason.source != ReasonSource::Statement && Answered(found.insertions, reason.offset)) {
      continue;
    }
    if (!chosen.empty() && chosen.back().offset == reason.offset) {
      if (reason.source > chosen.back().source) chosen.back() = std::move(reason);
    } else {
      chosen.push_back(std::move(reason));
    }
  }
  return chosen;
}

struct Definition {
  std::size_t offset;
  std::size_t line;
};

// Where a name is defined, in text order: as a variable (name=number) and as a data set; and
// where it is given something other than a number (y=x+1, y=sqrt(4)), which assigns nothing.
struct Definitions {
  std::vector<Definition> variable;
  std::vector<Definition> data_set;
  std::vector<Definition> not_a_number;
};

// The definitions of the names that reasons call undefined: the letters right in front of
// an "=", followed by "{", by a digit, point or sign, or by a name or "(".
std::unordered_map<std::string_view, Definitions> FindDefinitions(std::string_view text,
                                                                  const FoundReasons& reasons) {
  std::unordered_map<std::string_view, Definitions> definitions;
  for (const FoundReason& reason : reasons) {
    if (reason.kind == ReasonKind::Undefined) definitions.try_emplace(reason.undefined);
  }
  if (definitions.empty()) return definitions;
  std::size_t line = 1;
  std::size_t counted = 0;  // the text before it has its LFs in line
  for (std::size_t equals = text.find('='); equals != std::string_view::npos;
       equals = text.find('=', equals + 1)) {
    std::size_t begin = equals;
    while (begin > 0 && IsNameChar(text[begin - 1])) --begin;
    const auto found = definitions.find(text.substr(begin, equals - begin));
    if (begin == equals || found == definitions.end() || equals + 1 == text.size()) continue;
    const char next = text[equals + 1];
    std::vector<Definition>* kind = nullptr;
    if (next == '{') {
      kind = &found->second.data_set;
    } else if (ClassifyWorksheetChar(next) == WorksheetChar::Number) {
      kind = &found->second.variable;
    } else if (IsNameChar(next) || next == '(') {
      kind = &found->second.not_a_number;
    } else {
      continue;
    }
    line += CountLineEnds(text.substr(counted, begin - counted));
    counted = begin;
    kind->push_back({begin, line});
  }
  return definitions;
}

// The first of the definitions, in text order, at or after an offset.
std::vector<Definition>::const_iterator FirstFrom(const std::vector<Definition>& definitions,
                                                  std::size_t offset) {
  return std::lower_bound(
      definitions.begin(), definitions.end(), offset,
      [](const Definition& definition, std::size_t from) { return definition.offset < from; });
}

// "Not defined" says more where the name was given something other than a number above the
// "=", or is defined after it.
void FindDefinitionsElsewhere(std::string_view text, FoundReasons& reasons) {
  const auto definitions = FindDefinitions(text, reasons);
  for (FoundReason& reason : reasons) {
    if (reason.kind != ReasonKind::Undefined) continue;
    const bool data_set = reason.source == ReasonSource::Statement;
    const Definitions& of_name = definitions.at(reason.undefined);
    const auto not_a_number = FirstFrom(of_name.not_a_number, reason.offset);
    if (!data_set && not_a_number != of_name.not_a_number.begin()) {
      reason.message = reason.undefined + " has no value: " + reason.undefined + "= on line " +
                       std::to_string(std::prev(not_a_number)->line) +
                       " is followed by no number, and a variable takes only a number, as in " +
                       reason.undefined + "=2";
      continue;
    }
    const std::vector<Definition>& candidates = data_set ? of_name.data_set : of_name.variable;
    const auto below = FirstFrom(candidates, reason.offset);
    // "name={" above the statement that defines nothing: empty braces, or a "}" that comes
    // only after the statement.
    if (data_set && below != candidates.begin()) {
      const Definition& above = *std::prev(below);
      const std::size_t after_brace = above.offset + reason.undefined.size() + 2;
      const bool empty = after_brace < text.size() && text[after_brace] == '}';
      reason.message = "data set " + reason.undefined + " on line " + std::to_string(above.line) +
                       (empty ? " holds no values: write them between its braces, as in " +
                                    reason.undefined + "={1,2,3}"
                              : " is not closed above this statement: end it with }");
      continue;
    }
    if (below == candidates.end()) continue;
    const bool same_line = text.find('\n', reason.offset) > below->offset;
    reason.kind = ReasonKind::DefinedBelow;
    reason.message = (data_set ? "data set " : "") + reason.undefined + " is defined on line " +
                     std::to_string(below->line) +
                     (same_line ? ", after this =" : ", below this line") +
                     (data_set ? ": move the data set above the statement"
                               : ": move the assignment above the expression");
  }
}

}  // namespace

std::vector<Reason> PlaceReasons(FoundByPasses found, std::string_view input) {
  FoundReasons chosen = ChooseOnePerEquals(found);
  FindDefinitionsElsewhere(input, chosen);

  std::vector<Reason> reasons;
  reasons.reserve(chosen.size());
  // One walk over the text: position advances from reason to reason, and column is its
  // column on line; inserted counts what the insertions in front of it add.
  std::size_t line = 1;
  std::size_t position = 0;
  std::size_t column = 1;
  std::size_t inserted = 0;
  std::size_t next_insertion = 0;
  for (FoundReason& reason : chosen) {
    const std::size_t lines = CountLineEnds(input.substr(position, reason.offset - position));
    if (lines > 0) {
      line += lines;
      position = input.rfind('\n', reason.offset) + 1;
      column = 1;
    }
    for (; position < reason.offset; position += Utf8CharLength(input, position)) ++column;
    for (; next_insertion < found.insertions.size() &&
           found.insertions[next_insertion].offset <= reason.offset;
         ++next_insertion) {
      inserted += found.insertions[next_insertion].size;
    }
    reasons.push_back({reason.offset, line, column, reason.offset + inserted, reason.kind,
                       std::move(reason.message)});
  }
  return reasons;
}

}  // namespace tallo
