#pragma once
// Runs a statement that takes one table, as the driver would.

#include <array>
#include <string>
#include <string_view>

#include "procedures/registry.h"

namespace tallo::testing_support {

inline std::string ReportOf(Procedure procedure, std::string_view table) {
  const std::array<std::string_view, 1> texts = {table};
  return procedure(texts);
}

}  // namespace tallo::testing_support
