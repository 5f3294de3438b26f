#include "text/data_readers.h"

#include "text/char_classes.h"
#include "text/number_text.h"

namespace tallo {
namespace {

bool EndsListItem(char c) { return c == ',' || c == '\r' || c == '\t'; }
bool VanishesFromListItem(char c) { return c == ' ' || c == '\n'; }

// Calls on_item for every item of a list text, empty ones included, in text order.
template <typename OnItem>
void ForEachListItem(std::string_view text, OnItem on_item) {
  std::string item;
  for (char c : text) {
    if (VanishesFromListItem(c)) continue;
    if (EndsListItem(c)) {
      on_item(std::string_view(item));
      item.clear();
    } else {
      item += c;
    }
  }
  on_item(std::string_view(item));
}

}  // namespace

std::vector<std::string> SplitListItems(std::string_view text) {
  std::vector<std::string> items;
  ForEachListItem(text, [&](std::string_view item) { items.emplace_back(item); });
  return items;
}

bool IsNumericItem(std::string_view item) { return ClassifyTokenEnd(item) == TokenEnd::Number; }

std::vector<double> ParseValueList(std::string_view text) {
  std::vector<double> values;
  ForEachListItem(text, [&](std::string_view item) {
    if (IsNumericItem(item)) values.push_back(ParseReal(item));
  });
  return values;
}

ValuePairs ParseValuePairs(std::string_view first, std::string_view second) {
  const std::vector<std::string> a = SplitListItems(first);
  const std::vector<std::string> b = SplitListItems(second);
  ValuePairs pairs;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (IsNumericItem(a[i]) && IsNumericItem(b[i])) {
      pairs.x.push_back(ParseReal(a[i]));
      pairs.y.push_back(ParseReal(b[i]));
    }
  }
  return pairs;
}

std::string_view CellGrid::cell(std::size_t row, std::size_t column) const {
  if (row >= cells_.size() || column >= cells_[row].size()) return {};
  return cells_[row][column];
}

CellGrid SplitTableCells(std::string_view text) {
  CellGrid grid;
  std::vector<std::string> row(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n') continue;
    if (c != '\t' && c != '\r' && c != ',') row.back() += c;
    // A CR, or the last character of the text, ends the row before a TAB or comma could
    // open another cell in it.
    if (c == '\r' || i + 1 == text.size()) {
      grid.last_row_cells_ = row.size();
      grid.cells_.push_back(std::move(row));
      row.assign(1, std::string());
    } else if (c == '\t' || c == ',') {
      row.emplace_back();
    }
  }
  return grid;
}

double CellValue(const CellGrid& grid, std::size_t row, std::size_t column) {
  return ParseReal(grid.cell(row, column));
}

std::vector<double> ReadColumnList(const CellGrid& grid, std::size_t column) {
  std::vector<double> values;
  for (const std::optional<double>& cell : ReadColumnCells(grid, column)) {
    if (cell) values.push_back(*cell);
  }
  return values;
}

std::optional<double> CellItem(const CellGrid& grid, std::size_t row, std::size_t column) {
  // A cell is one item of a list: it holds no separator, and its blanks vanish.
  std::string item;
  for (char c : grid.cell(row, column)) {
    if (!VanishesFromListItem(c)) item += c;
  }
  if (!IsNumericItem(item)) return std::nullopt;
  return ParseReal(item);
}

std::vector<std::optional<double>> ReadColumnCells(const CellGrid& grid, std::size_t column) {
  std::vector<std::optional<double>> cells;
  for (std::size_t row = 1; row < grid.rows(); ++row) cells.push_back(CellItem(grid, row, column));
  return cells;
}

std::optional<std::vector<double>> ReadCaseCells(const CellGrid& grid, std::size_t row,
                                                 std::size_t count) {
  std::vector<double> values;
  for (std::size_t column = 1; column <= count; ++column) {
    const std::optional<double> value = CellItem(grid, row, column);
    if (!value) return std::nullopt;
    values.push_back(*value);
  }
  return values;
}

}  // namespace tallo
