#pragma once
// What a calculation did, counted for measuring it.

#include <cstddef>

namespace tallo {

// How many scalar expressions got an answer and how many of those were read in one pass
// (the rest took the full extraction); how many statements ran, how many data sets were
// defined, and how many times a data set's text was read (a list's items or a table's
// cells), which the sharing of data sets between statements keeps at most two per
// definition.
struct CalculationCounts {
  std::size_t answers = 0;
  std::size_t one_pass_answers = 0;
  std::size_t statements = 0;
  std::size_t data_sets = 0;
  std::size_t data_set_readings = 0;
};

}  // namespace tallo
