#pragma once
// Why an "=" got no answer: the records a calculation gives when asked for them, as plain
// data for tallo-calc --explain and for the editor's marks.

#include <cstddef>
#include <string>
#include <string_view>

namespace tallo {

enum class ReasonKind {
  UnknownName,       // a function or statement that does not exist ("Mean(a)=", "ln(2)=")
  Undefined,         // a variable or data set defined nowhere above the "="
  DefinedBelow,      // ... defined only further down
  UnreadableName,    // a name the reader cannot take ("d2={2}", "mean(2)=")
  UnreadableNumber,  // a number the reader cannot take ("2e3=")
  StrayBlank,        // a blank that splits a statement, a call or a definition ("mean (a)=")
  NoSuchOperator,    // "^", "**", "%", or a number directly before "("
  UnbalancedParentheses,
  Unreduced,          // an expression that stops before becoming one number ("5-+-3=")
  NotANumber,         // sqrt(-4), 1/0, log(0), asin(2)
  WrongDataSetCount,  // "ttest(a)="
  TooFewValues,       // a data set too short for its statement ("sd" of one value)
  ListForTable,       // a list given to a statement that reads a table
  BoundReached,       // the 200 evaluation steps, or the token limit of a line
};

// The kind as a short lower-case word with hyphens ("unknown-name"), stable for files and
// scripts.
std::string_view ReasonKindName(ReasonKind kind);

// One "=" that got no answer; or the "=" of a statement whose data fall short of it, whose
// report is still written (with nan where nothing can be computed). Positions are those of
// the "=" in the input text, and its offset in the calculated text, which has the answers
// in front of it inserted.
struct Reason {
  std::size_t offset = 0;             // bytes from the start of the input
  std::size_t line = 0;               // from 1; lines end at LF
  std::size_t column = 0;             // from 1, in characters (UTF-8 sequences count once)
  std::size_t calculated_offset = 0;  // bytes from the start of the calculated text
  ReasonKind kind = ReasonKind::Unreduced;
  std::string message;  // plain words that say what to do

  bool operator==(const Reason&) const = default;
};

}  // namespace tallo
