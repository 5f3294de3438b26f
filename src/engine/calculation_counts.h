#pragma once
// What a calculation did, counted for measuring it.

#include <cstddef>

namespace tallo {

// How many statements ran, how many data sets were defined, and how many times a data set's
// text was read (a list's items or a table's cells), which the sharing of data sets between
// statements keeps at most two per definition.
struct CalculationCounts {
  std::size_t statements = 0;
  std::size_t data_sets = 0;
  std::size_t data_set_readings = 0;
};

}  // namespace tallo
