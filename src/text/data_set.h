#pragma once
// A data set's text and what the readers make of it. Each reading is done the first time a
// statement asks for it and kept, so that every statement on the same definition shares
// it: a data set is read once per calculation.

#include <memory>
#include <span>
#include <string_view>

#include "text/data_readers.h"

namespace tallo {

class DataSet {
 public:
  // The text must outlive the data set.
  explicit DataSet(std::string_view text);
  DataSet(DataSet&&) noexcept;
  DataSet& operator=(DataSet&&) noexcept;
  ~DataSet();

  std::string_view text() const { return text_; }

  // The numeric items in text order, as ParseValueList reads them. Read from the items.
  std::span<const double> values() const;

  // Every item in text order, as ReadListItems reads them (nan where not numeric), so that
  // two lists pair up item by item.
  std::span<const double> items() const;

  // The text as a table, as SplitTableCells reads it.
  const CellGrid& table() const;

  // How many times the text was read: once for the items, once for the table, at most.
  std::size_t readings() const;

 private:
  struct Readings;

  Readings& made_readings() const;

  std::string_view text_;
  mutable std::unique_ptr<Readings> readings_;  // made at the first reading
};

}  // namespace tallo
