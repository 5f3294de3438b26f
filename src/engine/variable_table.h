#pragma once
// The scalar variables of a worksheet, looked up for every name of every expression.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tallo {

// A variable's value: its text as it is substituted, with a blank on either side (" 5.5 "),
// and, when that text is one unsigned number (digits and at most one point), what it reads as.
struct VariableValue {
  std::string text;
  std::optional<double> number;

  // The text as it was written, without the blanks.
  std::string_view written() const { return std::string_view(text).substr(1, text.size() - 2); }
};

// Scalar variables: name to value, valid from their assignment to the end of the text.
class VariableTable {
 public:
  // The value of the variable of that name; null when there is none. It stays valid, with
  // its current value, until the variable is assigned again.
  const VariableValue* Find(std::string_view name) const {
    if (name.empty()) return nullptr;
    const auto first = static_cast<unsigned char>(name[0]);
    if (name.size() == 1) return single_letter_[first];
    // Most names looked up are no variable's (functions, prose): their first letter and
    // length rule them out before any hashing.
    if (!(lengths_by_first_[first] & LengthBit(name.size()))) return nullptr;
    const auto found = values_.find(name);
    return found == values_.end() ? nullptr : &found->second;
  }

  // Sets a variable's value; a variable assigned again keeps its storage.
  void Assign(std::string_view name, std::string_view value);

  // Calls visit(name) for every variable.
  template <typename Visit>
  void ForEachName(Visit visit) const {
    for (const auto& entry : values_) visit(std::string_view(entry.first));
  }

 private:
  // Lengths from 63 up share the last bit.
  static std::uint64_t LengthBit(std::size_t length) {
    return std::uint64_t{1} << (length < 63 ? length : 63);
  }

  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
      return std::hash<std::string_view>()(name);
    }
  };

  std::unordered_map<std::string, VariableValue, NameHash, std::equal_to<>> values_;
  std::array<std::uint64_t, 256> lengths_by_first_{};
  std::array<VariableValue*, 256> single_letter_{};  // values_ nodes never move
};

}  // namespace tallo
