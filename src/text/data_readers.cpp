#include "text/data_readers.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/char_classes.h"
#include "text/number_text.h"

namespace tallo {
namespace {

// A line ends at a CR, or at an LF that no CR stands before: a data set's text is read as it
// stands in the worksheet, whose lines may end in CR LF, LF or CR alike.
bool EndsLine(std::string_view text, std::size_t i) {
  return text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'));
}

// What ends a table's cell: a TAB or comma, or a line end; within a row every LF is one.
constexpr std::string_view kCellEnds = "\t,\r\n";

bool EndsListItem(std::string_view text, std::size_t i) {
  return text[i] == ',' || text[i] == '\t' || EndsLine(text, i);
}

// Blanks, and the LF of a CR LF, vanish from an item.
bool VanishesFromListItem(char c) { return c == ' ' || c == '\n'; }

// Calls on_item for every item of a list text, empty ones included, in text order. An item
// is a view of the text unless something vanished from its middle.
template <typename OnItem>
void ForEachListItem(std::string_view text, OnItem on_item) {
  constexpr std::size_t kNone = std::string_view::npos;
  std::string joined;
  std::size_t first = kNone;  // the item's first and last kept characters
  std::size_t last = kNone;
  bool gap = false;  // something vanished between them
  const auto end_item = [&] {
    if (first == kNone) {
      on_item(std::string_view());
    } else if (!gap) {
      on_item(text.substr(first, last + 1 - first));
    } else {
      joined.clear();
      for (std::size_t k = first; k <= last; ++k) {
        if (!VanishesFromListItem(text[k])) joined += text[k];
      }
      on_item(std::string_view(joined));
    }
    first = kNone;
    gap = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (EndsListItem(text, i)) {
      end_item();
    } else if (!VanishesFromListItem(text[i])) {
      if (first == kNone) {
        first = i;
      } else {
        gap = gap || last + 1 < i;
      }
      last = i;
    }
  }
  end_item();
}

// The value of a list item, or nan where it has none.
double ItemValue(std::string_view item) {
  return IsNumericItem(item) ? ParseReal(item) : std::numeric_limits<double>::quiet_NaN();
}

// A cell read as one item of a list: it holds no separator, and its blanks vanish.
double CellItemValue(std::string_view cell) {
  if (cell.find(' ') == std::string_view::npos) return ItemValue(cell);
  std::string item;
  for (char c : cell) {
    if (c != ' ') item += c;
  }
  return ItemValue(item);
}

}  // namespace

std::vector<std::string> SplitListItems(std::string_view text) {
  std::vector<std::string> items;
  ForEachListItem(text, [&](std::string_view item) { items.emplace_back(item); });
  return items;
}

bool IsNumericItem(std::string_view item) { return ClassifyTokenEnd(item) == TokenEnd::Number; }

std::vector<double> ReadListItems(std::string_view text) {
  std::vector<double> items;
  ForEachListItem(text, [&](std::string_view item) { items.push_back(ItemValue(item)); });
  items.shrink_to_fit();  // kept all the calculation: no room left over from growing
  return items;
}

std::vector<double> ParseValueList(std::string_view text) {
  std::vector<double> values;
  ForEachListItem(text, [&](std::string_view item) {
    if (IsNumericItem(item)) values.push_back(ParseReal(item));
  });
  return values;
}

std::size_t CountValues(std::string_view text, std::size_t enough) {
  std::size_t count = 0;
  char last = '\0';  // the last character of the current item; NUL while it is empty
  for (std::size_t i = 0; i <= text.size() && count < enough; ++i) {
    if (i < text.size() && !EndsListItem(text, i)) {
      if (!VanishesFromListItem(text[i])) last = text[i];
      continue;
    }
    if (IsDigit(last) || last == '.') ++count;
    last = '\0';
  }
  return count;
}

TableShortfall FindTableShortfall(std::string_view text) {
  // The first CR or LF ends the header line: an LF before any CR has none in front of it.
  const std::size_t header_end = text.find_first_of("\r\n");
  const bool rows = header_end != std::string_view::npos &&
                    text.find_first_not_of(" \t\r\n,", header_end) != std::string_view::npos;
  if (!rows) {
    const bool labels = text.substr(0, header_end).find('\t') != std::string_view::npos;
    return labels ? TableShortfall::NoRows : TableShortfall::List;
  }
  const bool cells = text.find_first_of("\t,", header_end) != std::string_view::npos;
  return cells ? TableShortfall::None : TableShortfall::List;
}

ValuePairs PairItems(std::span<const double> first, std::span<const double> second) {
  ValuePairs pairs;
  for (std::size_t i = 0; i < first.size() && i < second.size(); ++i) {
    if (!std::isnan(first[i]) && !std::isnan(second[i])) {
      pairs.x.push_back(first[i]);
      pairs.y.push_back(second[i]);
    }
  }
  return pairs;
}

std::string_view CellGrid::cell(std::size_t row, std::size_t column) const {
  if (row >= rows() || column >= cells_in_row(row)) return {};
  std::size_t begin = rows_[row].text_begin;
  for (std::size_t k = 0; k < column; ++k) begin = text_.find_first_of(kCellEnds, begin) + 1;
  return text_.substr(begin, std::min(text_.find_first_of(kCellEnds, begin), text_.size()) - begin);
}

std::vector<std::string_view> CellGrid::RowCells(std::size_t row) const {
  std::vector<std::string_view> cells;
  if (row >= rows()) return cells;
  cells.reserve(cells_in_row(row));
  std::size_t begin = rows_[row].text_begin;
  for (std::size_t k = 0; k < cells_in_row(row); ++k) {
    const std::size_t end = std::min(text_.find_first_of(kCellEnds, begin), text_.size());
    cells.push_back(text_.substr(begin, end - begin));
    begin = end + 1;
  }
  return cells;
}

double CellGrid::item(std::size_t row, std::size_t column) const {
  if (row >= rows() || column >= cells_in_row(row)) return std::numeric_limits<double>::quiet_NaN();
  return items_[rows_[row].first_item + column];
}

CellGrid SplitTableCells(std::string_view text) {
  CellGrid grid;
  grid.text_ = text;
  std::size_t row_begin = 0;  // where the current row's first cell starts
  std::size_t row_cells = 0;
  std::size_t begin = 0;      // where the current cell starts
  const auto end_cell = [&](std::size_t end) {
    grid.items_.push_back(CellItemValue(text.substr(begin, end - begin)));
    ++row_cells;
  };
  // A table is kept while statements use it, so it is given its room at once rather than
  // grown into it: every cell ends at a TAB, a comma, a line end or the end of the text,
  // and every row at a line end or the end (a CR LF counts twice, a slot over).
  std::size_t cell_ends = 0;
  std::size_t line_ends = 0;
  for (const char c : text) {
    const bool line_end = c == '\r' || c == '\n';
    line_ends += static_cast<std::size_t>(line_end);
    cell_ends += static_cast<std::size_t>(line_end || c == '\t' || c == ',');
  }
  grid.items_.reserve(cell_ends + 1);
  grid.rows_.reserve(line_ends + 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n' && !EndsLine(text, i)) {
      row_begin = ++begin;  // the LF of a CR LF, which the CR ended the row before
      continue;
    }
    const bool line_end = EndsLine(text, i);
    // A line end, or the last character of the text, ends the row before a TAB or comma
    // could open another cell in it.
    if (line_end || i + 1 == text.size()) {
      end_cell(line_end || c == '\t' || c == ',' ? i : i + 1);
      grid.rows_.push_back({row_begin, grid.items_.size() - row_cells});
      grid.last_row_cells_ = row_cells;
      row_cells = 0;
      row_begin = begin = i + 1;
    } else if (c == '\t' || c == ',') {
      end_cell(i);
      begin = i + 1;
    }
  }
  grid.rows_.push_back({text.size(), grid.items_.size()});
  return grid;
}

double CellValue(const CellGrid& grid, std::size_t row, std::size_t column) {
  return ParseReal(grid.cell(row, column));
}

std::vector<double> ReadColumnList(const CellGrid& grid, std::size_t column) {
  std::vector<double> values;
  for (std::size_t row = 1; row < grid.rows(); ++row) {
    const double value = grid.item(row, column);
    if (!std::isnan(value)) values.push_back(value);
  }
  return values;
}

std::vector<double> ReadColumnItems(const CellGrid& grid, std::size_t column) {
  std::vector<double> items;
  items.reserve(grid.data_rows());
  for (std::size_t row = 1; row < grid.rows(); ++row) items.push_back(grid.item(row, column));
  return items;
}

std::optional<std::vector<double>> ReadCaseCells(const CellGrid& grid, std::size_t row,
                                                 std::size_t count) {
  std::vector<double> values;
  values.reserve(count);
  for (std::size_t column = 1; column <= count; ++column) {
    const double value = grid.item(row, column);
    if (std::isnan(value)) return std::nullopt;
    values.push_back(value);
  }
  return values;
}

}  // namespace tallo
