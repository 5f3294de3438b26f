#include "text/data_set.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace tallo {

struct DataSet::Readings {
  std::optional<std::vector<double>> items;
  std::optional<std::vector<double>> values;  // kept apart only when gaps stand among them
  std::optional<CellGrid> table;
};

DataSet::DataSet(std::string_view text) : text_(text) {}
DataSet::DataSet(DataSet&&) noexcept = default;
DataSet& DataSet::operator=(DataSet&&) noexcept = default;
DataSet::~DataSet() = default;

std::size_t DataSet::readings() const { return readings_; }

std::size_t DataSet::reading_bytes() const {
  if (!read_) return 0;
  const auto bytes_of = [](const std::optional<std::vector<double>>& list) {
    return list ? list->capacity() * sizeof(double) : 0;
  };
  return bytes_of(read_->items) + bytes_of(read_->values) +
         (read_->table ? read_->table->bytes() : 0);
}

void DataSet::ForgetReadings() { read_.reset(); }

DataSet::Readings& DataSet::read_so_far() const {
  if (!read_) read_ = std::make_unique<Readings>();
  return *read_;
}

std::span<const double> DataSet::items() const {
  Readings& read = read_so_far();
  if (!read.items) {
    read.items = ReadListItems(text_);
    ++readings_;
  }
  return *read.items;
}

std::span<const double> DataSet::values() const {
  Readings& read = read_so_far();
  if (read.values) return *read.values;
  // The values are the items without their gaps: a stretch of the items when the gaps stand
  // only at the ends (a list written one value per line begins and ends with an empty
  // item), else a list of their own.
  const std::span<const double> all = items();
  const auto is_gap = [](double item) { return std::isnan(item); };
  const auto first = std::find_if_not(all.begin(), all.end(), is_gap);
  const auto last = std::find_if_not(all.rbegin(), std::make_reverse_iterator(first), is_gap).base();
  if (std::none_of(first, last, is_gap)) return std::span<const double>(first, last);
  read.values.emplace();
  std::copy_if(first, last, std::back_inserter(*read.values), [](double x) { return !std::isnan(x); });
  return *read.values;
}

const CellGrid& DataSet::table() const {
  Readings& read = read_so_far();
  if (!read.table) {
    read.table = SplitTableCells(text_);
    ++readings_;
  }
  return *read.table;
}

}  // namespace tallo
