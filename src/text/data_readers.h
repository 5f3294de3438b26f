#pragma once
// Readers of a data set's text, the raw text between its braces: as a flat list of values,
// as two lists paired item by item, or as a table of cells with a header row and a label
// column. Every procedure reads its data sets through these; there is no capacity limit.
// Lines may end in CR LF, LF or a lone CR: each ends an item or a row alike.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tallo {

// The value of a list item, if it is numeric: not empty and ending in a digit or a point
// ("1e5", "Group1" and "12abc3" are numeric; "5-", "1.5e" and "e" are not). The value is
// the leading number atof reads from it.
bool IsNumericItem(std::string_view item);

// Every item of a list in text order, empty ones included. Comma, TAB and a line end end an
// item; blanks vanish.
std::vector<std::string> SplitListItems(std::string_view text);

// Every item of a list in text order, read as a value: nan where the item is empty or not
// numeric (no numeric item reads as nan).
std::vector<double> ReadListItems(std::string_view text);

// The numeric items of a list in text order. Comma, TAB and a line end end an item; blanks
// vanish ("1 000" is 1000); empty and non-numeric items are skipped.
std::vector<double> ParseValueList(std::string_view text);

// How many numeric items a list holds, counting no further than enough: a cheap test
// whether a data set is long enough for a statement.
std::size_t CountValues(std::string_view text, std::size_t enough);

// How a table's text falls short of a table with data: it reads as a list (one row of
// values, or one value per line), or it holds column labels and no rows under them.
enum class TableShortfall { None, List, NoRows };
TableShortfall FindTableShortfall(std::string_view text);

// Two lists paired item by item up to the shorter one, from the items ReadListItems reads; a
// pair is kept only when both of its items are numeric, so a gap on either side drops the
// whole pair.
struct ValuePairs {
  std::vector<double> x;
  std::vector<double> y;
};
ValuePairs PairItems(std::span<const double> first, std::span<const double> second);

// A table pasted from a spreadsheet: cells separated by TAB or comma, rows ended by a line
// end. Row 0 holds the column labels and column 0 the row labels; rows may hold fewer cells
// than others, and their missing cells read as empty.
class CellGrid {
 public:
  // Rows ended, the header row included.
  std::size_t rows() const { return rows_.size() - 1; }
  // Rows after the header row.
  std::size_t data_rows() const { return rows() == 0 ? 0 : rows() - 1; }
  // Data columns: the cells of the last row ended minus its label cell.
  std::size_t data_columns() const { return last_row_cells_ == 0 ? 0 : last_row_cells_ - 1; }
  // The cell at (row, column), found along its row; empty where the row has no such cell.
  std::string_view cell(std::size_t row, std::size_t column) const;
  // Every cell of a row, in one walk along it.
  std::vector<std::string_view> RowCells(std::size_t row) const;
  // The cell read as a list item (its blanks vanish): its value, or nan where it is empty,
  // not numeric or missing.
  double item(std::size_t row, std::size_t column) const;
  // The memory the grid holds, in bytes (the text is not its own).
  std::size_t bytes() const {
    return items_.capacity() * sizeof(double) + rows_.capacity() * sizeof(Row);
  }

 private:
  // The grid keeps the cells' values and where each row starts; the cells themselves are
  // found in the table's text, which must outlive the grid.
  CellGrid() = default;
  friend CellGrid SplitTableCells(std::string_view text);
  std::size_t cells_in_row(std::size_t row) const {
    return rows_[row + 1].first_item - rows_[row].first_item;
  }

  struct Row {
    std::size_t text_begin;  // of its first cell
    std::size_t first_item;  // index of its first cell in items_
  };
  std::string_view text_;
  std::vector<Row> rows_;      // each row, then the end of the last
  std::vector<double> items_;  // every cell read as a list item, row after row
  std::size_t last_row_cells_ = 0;
};

CellGrid SplitTableCells(std::string_view text);

// A cell read directly as a number, as atof reads it: an empty cell or a label reads 0.
double CellValue(const CellGrid& grid, std::size_t row, std::size_t column);

// The numeric cells of one data column (column >= 1), rows 1 onward, as a list: empty and
// non-numeric cells are skipped, so columns may differ in length.
std::vector<double> ReadColumnList(const CellGrid& grid, std::size_t column);

// One data column row by row (rows 1 onward), each cell as CellGrid::item reads it. Two
// columns read so pair up by PairItems exactly as the items of the column texts would.
std::vector<double> ReadColumnItems(const CellGrid& grid, std::size_t column);

// The values of one case: the cells of a data row in columns 1 to count, as CellGrid::item
// reads them; nothing when any of them is missing.
std::optional<std::vector<double>> ReadCaseCells(const CellGrid& grid, std::size_t row,
                                                 std::size_t count);

}  // namespace tallo
