#pragma once
// The answers of a worksheet's scalar expressions, as the pre-pass finds them: each is
// inserted right after its "=", and their texts share one buffer instead of holding a
// string each.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tallo {

class Answers {
 public:
  // An answer inserted before the input's character at offset; offsets ascend.
  void Add(std::size_t offset, std::string_view text);

  std::size_t size() const { return answers_.size(); }
  std::size_t offset(std::size_t k) const { return answers_[k].offset; }
  // A view of the buffer: valid while no answer is added.
  std::string_view text(std::size_t k) const;

 private:
  struct Answer {
    std::size_t offset;
    std::size_t end;  // of its text in texts_
  };
  std::string texts_;
  std::vector<Answer> answers_;
};

}  // namespace tallo
