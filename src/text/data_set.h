#pragma once
// A data set's text and what the readers make of it. Each reading is done the first time a
// statement asks for it and kept until forgotten, so that every statement on the same
// definition shares it. What statements work out from a data set alone (a table's
// covariances) can be kept with it the same way.

#include <memory>
#include <span>
#include <string_view>
#include <typeindex>
#include <vector>

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

  // How many times the text was read: once for the items, once for the table, at most,
  // unless the readings were forgotten in between.
  std::size_t readings() const;

  // The memory the readings hold, in bytes.
  std::size_t reading_bytes() const;

  // Drops the readings, while nothing read from them is in use; a statement that asks
  // again reads the text again.
  void ForgetReadings();

  // The one result of type T worked out from this data set: make() the first time it is
  // asked for, the same object after that, until ForgetDerived.
  template <typename T, typename Make>
  const T& Derived(Make make) const {
    if (!derived_) derived_ = std::make_unique<std::vector<Derivation>>();
    for (const Derivation& kept : *derived_) {
      if (kept.type == std::type_index(typeid(T))) return *static_cast<const T*>(kept.result.get());
    }
    auto made = std::make_shared<const T>(make());
    const T& result = *made;
    derived_->push_back({std::type_index(typeid(T)), std::move(made)});
    return result;
  }

  // Drops what was derived; the readings stay.
  void ForgetDerived() { derived_.reset(); }

 private:
  struct Readings;
  struct Derivation {
    std::type_index type;
    std::shared_ptr<const void> result;
  };

  Readings& read_so_far() const;

  // Both made when first needed, so that a data set no statement uses stays small.
  std::string_view text_;
  mutable std::unique_ptr<Readings> read_;
  mutable std::unique_ptr<std::vector<Derivation>> derived_;
  mutable std::size_t readings_ = 0;
};

}  // namespace tallo
