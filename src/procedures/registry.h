#pragma once
// The statements of a worksheet: one table of name, number of data-set arguments and the
// routine that writes the report. Adding a procedure is adding a row.

#include <span>
#include <string>
#include <string_view>

#include "procedures/report_options.h"
#include "text/data_set.h"

namespace tallo {

// The data sets of a statement's arguments, in argument order.
using DataSets = std::span<const DataSet* const>;

// Writes the report that is inserted after the statement's "=".
using Procedure = std::string (*)(DataSets data, const ReportOptions& options);

// A report that no option changes, as a Procedure.
template <std::string (*Report)(DataSets)>
std::string WithoutOptions(DataSets data, const ReportOptions&) {
  return Report(data);
}

struct Statement {
  std::string_view name;  // lower case, compared exactly
  int arguments;          // 1, 2 or 3 data sets
  Procedure run;
  // What the data sets must hold for the report to have numbers: the first tables of
  // them are tables, each other one a list of at least minimum_values values. Shorter data
  // still get their report (with nan where a value cannot be computed); the reasons of a
  // calculation say why.
  int tables = 0;
  int minimum_values = 0;
};

// Every statement, in the order of the "Format of Functions" list.
std::span<const Statement> Statements();

// The statement of that name taking that many arguments, or nullptr.
const Statement* FindStatement(std::span<const Statement> statements, std::string_view name,
                               int arguments);

// The statement of that name whatever its number of arguments, or nullptr.
const Statement* FindStatementNamed(std::span<const Statement> statements, std::string_view name);

}  // namespace tallo
