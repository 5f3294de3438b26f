#include "engine/statement_reasons.h"

#include <algorithm>

#include "engine/extraction.h"
#include "engine/nearest_name.h"
#include "text/char_classes.h"
#include "text/data_readers.h"

namespace tallo {
namespace {

bool IsName(std::string_view token) {
  return ClassifyTokenEnd(token) == TokenEnd::Letter || token == "e";
}
bool IsBlank(std::string_view token) {
  return !token.empty() && (token[0] == ' ' || token[0] == '\t');
}
bool IsDigits(std::string_view token) {
  return !token.empty() && token.find_first_not_of("0123456789") == std::string_view::npos;
}

FoundReason Found(ReasonKind kind, std::string message,
                  ReasonSource source = ReasonSource::Statement, std::string undefined = {}) {
  return {.kind = kind,
          .message = std::move(message),
          .source = source,
          .undefined = std::move(undefined)};
}

// "(a)", "(a,b)" or "(a,b,c)": how a statement of 1, 2 or 3 data sets is written.
std::string ArgumentsExample(int count) {
  static constexpr std::string_view kExamples[] = {"(a)", "(a,b)", "(a,b,c)"};
  return std::string(kExamples[count - 1]);
}

// "one data set", "two data sets" or "three data sets", for 1, 2 or 3.
std::string DataSetCount(int count) {
  static constexpr std::string_view kCounts[] = {"one data set", "two data sets",
                                                 "three data sets"};
  return std::string(kCounts[count - 1]);
}

std::string Plural(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// The tokens between a "(" at age open and the ")" at age close, in text order.
std::string ArgumentText(const RecentTokens& tokens, std::size_t open, std::size_t close) {
  std::string text;
  for (std::size_t age = open - 1; age > close; --age) text += tokens(age);
  return text;
}

FoundReason WrongDataSetCount(const Statement& statement) {
  const std::string name(statement.name);
  return Found(ReasonKind::WrongDataSetCount,
               name + " takes " + DataSetCount(statement.arguments) + ", as in " + name +
                   ArgumentsExample(statement.arguments) + "=");
}

// A one-letter name that none of the arguments uses: of four, one is always free, since a
// statement takes three data sets at most.
std::string UnusedName(std::span<const std::string_view> arguments) {
  std::string name;
  for (const char letter : std::string_view("dnkm")) {
    name.assign(1, letter);
    if (std::find(arguments.begin(), arguments.end(), name) == arguments.end()) break;
  }
  return name;
}

}  // namespace

std::optional<FoundReason> ExplainDefinition(const RecentTokens& tokens) {
  // tokens(0) is the "=", tokens(1) what stands in front of it.
  if (IsDigits(tokens(1)) && IsName(tokens(2))) {
    const std::string name = std::string(tokens(2)) + std::string(tokens(1));
    return Found(ReasonKind::UnreadableName,
                 name + " cannot name a data set: names are letters only, as in " +
                     std::string(tokens(2)) + "={...}");
  }
  if (IsBlank(tokens(1)) && IsName(tokens(2))) {
    const std::string name(tokens(2));
    return Found(ReasonKind::StrayBlank,
                 name + " ={ defines no data set: write " + name + "={ without a blank");
  }
  return std::nullopt;
}

std::optional<FoundReason> ExplainStatementForm(std::span<const Statement> statements,
                                                const RecentTokens& tokens,
                                                std::optional<std::string_view> matched_name) {
  if (matched_name && IsName(*matched_name)) {
    const std::string_view name = *matched_name;
    if (const Statement* other = FindStatementNamed(statements, name)) {
      return WrongDataSetCount(*other);
    }
    if (IsCallName(name)) return std::nullopt;  // a function: the pre-pass explains it
    NearestName nearest(name);
    for (const Statement& statement : statements) nearest.Consider(statement.name);
    return Found(ReasonKind::UnknownName,
                 "unknown name " + std::string(name) +
                     (nearest.best().empty() ? ": the list of functions shows the names there are"
                                             : "; did you mean " + nearest.best() + "?"),
                 ReasonSource::StatementName);
  }
  // The ")" of a statement, before its "=" or separated from it by a blank.
  const bool blank_after = IsBlank(tokens(0));
  const std::size_t close = blank_after ? 1 : 0;
  if (tokens(close) == "()") {  // a statement given no data set
    const Statement* statement = FindStatementNamed(statements, tokens(close + 1));
    return statement == nullptr ? std::nullopt : std::optional(WrongDataSetCount(*statement));
  }
  if (tokens(close) != ")") return std::nullopt;
  // The "(" of a statement further back, with blanks or more than names inside.
  for (std::size_t open = close + 2; open + 1 < kRecentTokenCount; ++open) {
    if (tokens(open) != "(") continue;
    const bool blank_before = IsBlank(tokens(open + 1)) && open + 2 < kRecentTokenCount;
    const std::string_view called = blank_before ? tokens(open + 2) : tokens(open + 1);
    const Statement* statement = FindStatementNamed(statements, called);
    if (statement == nullptr) return std::nullopt;
    const std::string example = std::string(called) + ArgumentsExample(statement->arguments) + "=";
    const std::string arguments = ArgumentText(tokens, open, close);
    if (blank_before || blank_after || arguments.find_first_of(" \t") != std::string::npos) {
      return Found(ReasonKind::StrayBlank,
                   std::string(called) + " is not read as a statement: write it without blanks, " +
                       "as in " + example);
    }
    return Found(ReasonKind::UnreadableName,
                 arguments + " is not the name of a data set: names are letters only, as in " +
                     example);
  }
  return std::nullopt;
}

FoundReason ExplainStatementOperand(const Statement& statement, ReasonSource source) {
  const std::string name(statement.name);
  return Found(ReasonKind::Unreduced,
               name + " writes a report, which is no value to compute with: write it on its own, "
                      "as in " + name + ArgumentsExample(statement.arguments) + "=",
               source);
}

std::optional<FoundReason> ExplainStatementData(
    const Statement& statement, std::span<const std::string_view> arguments,
    std::span<const std::optional<std::string_view>> data,
    const std::function<std::string(std::string_view)>& nearest_data_set) {
  const std::string name(statement.name);
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    const std::string argument(arguments[k]);
    if (data[k]) continue;
    if (IsNumericItem(argument)) {
      const std::string holder = UnusedName(arguments);
      std::string call = name + "(";
      for (std::size_t j = 0; j < arguments.size(); ++j) {
        call += (j > 0 ? "," : "") + (j == k ? holder : std::string(arguments[j]));
      }
      return Found(ReasonKind::UnreadableName,
                   argument + " is a number, not a data set: put it in one, as in " + holder +
                       "={" + argument + "}, and write " + call + ")=");
    }
    if (!IsName(argument)) {
      return Found(ReasonKind::UnreadableName,
                   argument +
                       " is not the name of a data set: define one, as in a={1,2,3}, and "
                       "write " +
                       name + ArgumentsExample(statement.arguments) + "=");
    }
    const std::string nearest = nearest_data_set(argument);
    return Found(ReasonKind::Undefined,
                 "no data set " + argument + " is defined above this statement" +
                     (nearest.empty() ? ": define it first, as in " + argument + "={1,2,3}"
                                      : "; did you mean " + nearest + "?"),
                 ReasonSource::Statement, argument);
  }
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    const std::string argument(arguments[k]);
    if (static_cast<int>(k) < statement.tables) {
      switch (FindTableShortfall(*data[k])) {
        case TableShortfall::None: continue;
        case TableShortfall::NoRows:
          return Found(ReasonKind::TooFewValues, argument +
                                                     " has column labels but no rows under them; " +
                                                     name + " needs at least one row");
        case TableShortfall::List:
          return Found(ReasonKind::ListForTable,
                       name + " needs a table, and " + argument +
                           " reads as a list: write a line of column labels, then one line per "
                           "row that starts with its label, the cells separated by TABs");
      }
    }
    const auto minimum = static_cast<std::size_t>(statement.minimum_values);
    const std::size_t count = CountValues(*data[k], minimum);
    if (count >= minimum) continue;
    return Found(
        ReasonKind::TooFewValues,
        argument + (count == 0 ? " holds no numbers" : " has " + Plural(count, "value", "values")) +
            "; " + name + " needs at least " + Plural(minimum, "value", "values") +
            (statement.arguments > 1 ? " in each data set" : ""));
  }
  return std::nullopt;
}

}  // namespace tallo
