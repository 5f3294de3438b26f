#pragma once
// Realistic worksheets of any size for the benchmark, deterministic from a seed: prose,
// scalar lines, lists and TAB tables, and every statement of the function list in the
// proportions of a working statistician's notes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallo::bench {

// Paragraphs of prose without anything to calculate.
std::string ProseText(std::size_t bytes, std::uint32_t seed);

// Assignments and scalar expressions, one or two per line.
std::string ScalarLines(std::size_t bytes, std::uint32_t seed);

// Prose, scalar lines and sections of data sets with the statements that use them.
std::string MixedWorksheet(std::size_t bytes, std::uint32_t seed);

// blocks sections of data sets with the statements that use them, as in a mixed worksheet,
// and in twin the R code that does the same analyses on the same data.
std::string StatisticsBlocks(std::size_t blocks, std::uint32_t seed, std::string& twin);

// count statements over data_sets lists of values (descriptive and two-sample statements).
std::string StatementsOverDataSets(std::size_t statements, std::size_t data_sets,
                                   std::uint32_t seed);

// Two lists "a" and "b" of values values each, and a table "t" holding values values in
// four columns, followed by the one statement given (for example "ttest(a,b)=").
std::string LargeListsWith(std::size_t values, std::string_view statement, std::uint32_t seed);

// A table "t" of rows x columns numbers followed by the one statement given.
std::string LargeTableWith(std::size_t rows, std::size_t columns, std::string_view statement,
                           std::uint32_t seed);

}  // namespace tallo::bench
