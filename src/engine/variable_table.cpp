#include "engine/variable_table.h"

namespace tallo {

void VariableTable::Assign(std::string_view name, std::string_view value) {
  const auto first = static_cast<unsigned char>(name[0]);
  std::string* kept = name.size() == 1 ? single_letter_[first] : nullptr;
  if (kept == nullptr) {
    auto found = values_.find(name);
    if (found == values_.end()) {
      found = values_.emplace(std::string(name), std::string()).first;
      lengths_by_first_[first] |= LengthBit(name.size());
      if (name.size() == 1) single_letter_[first] = &found->second;
    }
    kept = &found->second;
  }
  kept->assign(1, ' ');
  *kept += value;
  *kept += ' ';
}

}  // namespace tallo
