#pragma once
// The statements of a worksheet: one table of name, number of data-set arguments and the
// routine that writes the report. Adding a procedure is adding a row.

#include <span>
#include <string>
#include <string_view>

#include "procedures/report_options.h"

namespace tallo {

// The data texts of a statement's arguments, in argument order.
using DataTexts = std::span<const std::string_view>;

// Writes the report that is inserted after the statement's "=".
using Procedure = std::string (*)(DataTexts data, const ReportOptions& options);

// A report that no option changes, as a Procedure.
template <std::string (*Report)(DataTexts)>
std::string WithoutOptions(DataTexts data, const ReportOptions&) {
  return Report(data);
}

struct Statement {
  std::string_view name;  // lower case, compared exactly
  int arguments;          // 1, 2 or 3 data sets
  Procedure run;
};

// Every statement, in the order of the "Format of Functions" list.
std::span<const Statement> Statements();

// The statement of that name taking that many arguments, or nullptr.
const Statement* FindStatement(std::span<const Statement> statements, std::string_view name,
                               int arguments);

}  // namespace tallo
