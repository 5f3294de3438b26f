#include "engine/variable_table.h"

#include "engine/direct_evaluator.h"
#include "text/number_text.h"

namespace tallo {

void VariableTable::Assign(std::string_view name, std::string_view value) {
  const auto first = static_cast<unsigned char>(name[0]);
  VariableValue* kept = name.size() == 1 ? single_letter_[first] : nullptr;
  if (kept == nullptr) {
    auto found = values_.find(name);
    if (found == values_.end()) {
      found = values_.emplace(std::string(name), VariableValue()).first;
      lengths_by_first_[first] |= LengthBit(name.size());
      if (name.size() == 1) single_letter_[first] = &found->second;
    }
    kept = &found->second;
  }
  kept->text.assign(1, ' ');
  kept->text += value;
  kept->text += ' ';
  kept->number.reset();
  if (DigitRunEnd(value, 0) == value.size()) kept->number = ParseReal(value);
}

}  // namespace tallo
