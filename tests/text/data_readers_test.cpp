#include "text/data_readers.h"

#include <gtest/gtest.h>

#include <optional>

#include <string>
#include <vector>

namespace tallo {
namespace {

using Values = std::vector<double>;

TEST(ParseValueList, SeparatorsAndVanishingCharacters) {
  EXPECT_EQ(ParseValueList("1,2,3"), (Values{1, 2, 3}));
  EXPECT_EQ(ParseValueList("1\t2\t3"), (Values{1, 2, 3}));
  EXPECT_EQ(ParseValueList("\r\n1\r\n2\r\n3\r\n"), (Values{1, 2, 3}));
  EXPECT_EQ(ParseValueList("1,2,3,"), (Values{1, 2, 3}));
  EXPECT_EQ(ParseValueList("1,2,3 "), (Values{1, 2, 3}));
  EXPECT_EQ(ParseValueList("1 000,2"), (Values{1000, 2}));
  EXPECT_EQ(ParseValueList("1.5 2.5"), (Values{1.52}));  // one item "1.52.5"
  EXPECT_EQ(ParseValueList("1,,\r\n\r\n,2"), (Values{1, 2}));
}

TEST(ParseValueList, NumericItemsEndInADigitOrPoint) {
  EXPECT_EQ(ParseValueList("1, 2, x, 4"), (Values{1, 2, 4}));
  EXPECT_EQ(ParseValueList("Group1"), (Values{0}));
  EXPECT_EQ(ParseValueList("1e3,2"), (Values{1000, 2}));
  EXPECT_EQ(ParseValueList("12abc3"), (Values{12}));
  EXPECT_EQ(ParseValueList("5-,1.5e,e,abc,-,3."), (Values{3}));
  EXPECT_EQ(ParseValueList("-2.5,+4"), (Values{-2.5, 4}));
  EXPECT_EQ(ParseValueList(""), Values{});
  EXPECT_EQ(ParseValueList("x"), Values{});
}

TEST(ParseValueList, NoCapacityLimit) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += std::to_string(i % 97) + "\r\n";
  const Values values = ParseValueList(text);
  ASSERT_EQ(values.size(), 100000u);
  EXPECT_EQ(values[99999], 99999 % 97);
}

TEST(SplitListItems, EveryItemEmptyOnesIncluded) {
  EXPECT_EQ(SplitListItems("\r\n12, 5\r\n"), (std::vector<std::string>{"", "12", "5", ""}));
  EXPECT_EQ(SplitListItems("a\tb c"), (std::vector<std::string>{"a", "bc"}));
  EXPECT_EQ(SplitListItems(""), (std::vector<std::string>{""}));
}

TEST(ParseValuePairs, PairsByItemPosition) {
  ValuePairs pairs = ParseValuePairs("1,2,3", "4,x,6");
  EXPECT_EQ(pairs.x, (Values{1, 3}));
  EXPECT_EQ(pairs.y, (Values{4, 6}));
  pairs = ParseValuePairs("1,2,3", "4,5,6,7,8");
  EXPECT_EQ(pairs.x, (Values{1, 2, 3}));
  EXPECT_EQ(pairs.y, (Values{4, 5, 6}));
  pairs = ParseValuePairs("1,,3", "4,5,6");  // an empty item keeps the lists aligned
  EXPECT_EQ(pairs.x, (Values{1, 3}));
  EXPECT_EQ(pairs.y, (Values{4, 6}));
  pairs = ParseValuePairs("\r\n1\r\n2", "3,4");  // the leading line end is an empty item
  EXPECT_EQ(pairs.x, (Values{1}));
  EXPECT_EQ(pairs.y, (Values{4}));
}

// The table of the "Format of Functions" example, as the driver hands it over.
const char kHelpTable[] =
    "\tCond1\tCond2\tCond3\r\n"
    "Group1\t234.54\t432.45\t553.43\r\n"
    "Group2\t345.12\t234.56\t878.43\r\n";

TEST(SplitTableCells, HeaderRowAndLabelColumn) {
  const CellGrid grid = SplitTableCells(kHelpTable);
  EXPECT_EQ(grid.rows(), 3u);
  EXPECT_EQ(grid.data_columns(), 3u);
  EXPECT_EQ(grid.cell(0, 0), "");
  EXPECT_EQ(grid.cell(0, 3), "Cond3");
  EXPECT_EQ(grid.cell(2, 0), "Group2");
  EXPECT_EQ(grid.cell(1, 2), "432.45");
  EXPECT_EQ(grid.cell(2, 9), "");  // beyond the row
  EXPECT_EQ(grid.cell(9, 1), "");  // beyond the table
}

TEST(SplitTableCells, RowsAndColumns) {
  // The last character ends the last row; a TAB there adds no column.
  CellGrid grid = SplitTableCells("\tA\tB\r\nr\t1\t2\t");
  EXPECT_EQ(grid.rows(), 2u);
  EXPECT_EQ(grid.data_columns(), 2u);
  // The column count comes from the last row, whatever the header holds.
  grid = SplitTableCells("\tA\tB\tC\r\nr\t1\r\n");
  EXPECT_EQ(grid.data_columns(), 1u);
  EXPECT_EQ(grid.cell(1, 3), "");
  // Commas separate cells too; blanks stay in a cell.
  grid = SplitTableCells(",x y,z\r\nr,1 ,2\r\n");
  EXPECT_EQ(grid.cell(0, 1), "x y");
  EXPECT_EQ(grid.cell(1, 1), "1 ");
  // A line break right after "{" puts an empty row in front of the header.
  grid = SplitTableCells("\r\n\tA\r\nr\t1\r\n");
  EXPECT_EQ(grid.rows(), 3u);
  EXPECT_EQ(grid.cell(1, 1), "A");
  EXPECT_EQ(SplitTableCells("").rows(), 0u);
  EXPECT_EQ(SplitTableCells("").data_columns(), 0u);
}

TEST(SplitTableCells, LineFeedsAreLeftOut) {
  // An LF anywhere is ignored: at the start of a cell, inside one, or last in the text,
  // where it ends no row.
  const CellGrid grid = SplitTableCells("\tA\tB\r\nr1\t1\n2\t3\r\nr2\t4\t5\n");
  EXPECT_EQ(grid.rows(), 2u);
  EXPECT_EQ(grid.cell(1, 0), "r1");
  EXPECT_EQ(grid.cell(1, 1), "12");
  EXPECT_EQ(grid.cell(1, 2), "3");
  EXPECT_EQ(grid.cell(2, 0), "");
}

TEST(CellValue, DirectConversion) {
  const CellGrid grid = SplitTableCells(kHelpTable);
  EXPECT_EQ(CellValue(grid, 1, 1), 234.54);
  EXPECT_EQ(CellValue(grid, 0, 1), 0);  // a label
  EXPECT_EQ(CellValue(grid, 2, 7), 0);  // a missing cell
}

// Column A: 1, empty, "3 000", 4; column B: 10, 20, "n/a" and a missing cell.
constexpr std::string_view kGappedColumns =
    "\tA\tB\r\n"
    "r1\t1\t10\r\n"
    "r2\t\t20\r\n"
    "r3\t3 000\tn/a\r\n"
    "r4\t4\r\n";

TEST(ReadColumnList, NumericCellsOfOneColumn) {
  const CellGrid grid = SplitTableCells(kGappedColumns);
  EXPECT_EQ(ReadColumnList(grid, 1), (Values{1, 3000, 4}));
  EXPECT_EQ(ReadColumnList(grid, 2), (Values{10, 20}));
  EXPECT_EQ(ReadColumnList(grid, 5), Values{});
}

TEST(ReadCaseCells, CellsReadAsListItems) {
  const CellGrid grid = SplitTableCells(kGappedColumns);
  EXPECT_EQ(ReadColumnCells(grid, 1),
            (std::vector<std::optional<double>>{1, std::nullopt, 3000, 4}));
  EXPECT_EQ(ReadCaseCells(grid, 1, 2), (Values{1, 10}));
  EXPECT_EQ(ReadCaseCells(grid, 3, 1), (Values{3000}));  // blanks vanish, as in a list
  EXPECT_EQ(ReadCaseCells(grid, 2, 2), std::nullopt);    // empty cell
  EXPECT_EQ(ReadCaseCells(grid, 3, 2), std::nullopt);    // not numeric
  EXPECT_EQ(ReadCaseCells(grid, 4, 2), std::nullopt);    // the row is short
  EXPECT_EQ(ReadCaseCells(grid, 9, 1), std::nullopt);    // no such row
  EXPECT_EQ(grid.data_rows(), 4u);
  EXPECT_EQ(SplitTableCells("").data_rows(), 0u);
}

TEST(SplitTableCells, LargeTableIsReadWhole) {
  std::string text = "\t";
  for (int c = 1; c <= 60; ++c) text += "C" + std::to_string(c) + (c < 60 ? "\t" : "\r\n");
  for (int r = 1; r <= 5000; ++r) {
    text += "R" + std::to_string(r);
    for (int c = 1; c <= 60; ++c) text += "\t" + std::to_string(r * 100 + c);
    text += "\r\n";
  }
  const CellGrid grid = SplitTableCells(text);
  EXPECT_EQ(grid.rows(), 5001u);
  EXPECT_EQ(grid.data_columns(), 60u);
  const Values last = ReadColumnList(grid, 60);
  ASSERT_EQ(last.size(), 5000u);
  EXPECT_EQ(last.back(), 500060);
}

}  // namespace
}  // namespace tallo
