#include "engine/variable_table.h"

namespace tallo {

void VariableTable::Assign(std::string_view name, std::string_view value) {
  auto found = values_.find(name);
  if (found == values_.end()) {
    found = values_.emplace(std::string(name), std::string()).first;
    const auto first = static_cast<unsigned char>(name[0]);
    lengths_by_first_[first] |= LengthBit(name.size());
    if (name.size() == 1) single_letter_[first] = &found->second;
  }
  std::string& kept = found->second;
  kept.assign(1, ' ');
  kept += value;
  kept += ' ';
}

}  // namespace tallo
