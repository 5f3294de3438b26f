#pragma once
// What the reports of one-way and two-way designs share: a table read as groups, one per
// data column; the FACTOR lines that list the labels of a factor's levels; and the
// significance labels of chi-square statistics and F ratios.

#include <cstddef>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "numeric/critical_values.h"
#include "text/data_readers.h"

namespace tallo {

// Each data column of a table is one group: its label is its row-0 cell and its values are
// the numeric cells below, so groups may differ in size and a column of text is an empty
// group. The labels point into the grid.
struct DesignGroups {
  std::vector<std::string_view> labels;
  std::vector<std::vector<double>> values;
};
DesignGroups ReadDesignGroups(const CellGrid& grid);

// The labels of data rows 1..count (column-0 cells; empty where the table has no such row).
std::vector<std::string_view> ReadRowLabels(const CellGrid& grid, std::size_t count);

// "HEADING\t" and the labels, each followed by ", " except the last, which ends the line.
// With more than `shown` labels only the first `shown` are written, and "....." ends the
// line.
void AppendLabelLine(std::string& report, std::string_view heading,
                     std::span<const std::string_view> labels,
                     std::size_t shown = std::numeric_limits<std::size_t>::max());

// "HEADING\t" and the labels, each followed by a TAB; after the fourth label "..." is
// written and the rest are left out.
void AppendTabbedLabelLine(std::string& report, std::string_view heading,
                           std::span<const std::string_view> labels);

// The four-level label of a chi-square statistic ("n.s" to "P<0.01"). Below one degree of
// freedom there is no critical value and nothing is significant.
std::string_view ChiSquareLabel(double statistic, int df);

// The label of an F ratio against the upper 5%, 2.5%, 1% and 0.5% points of F(df1, df2),
// in the caller's strings.
std::string_view FRatioLabel(double ratio, int df1, int df2, const SignificanceLabels& labels);

}  // namespace tallo
