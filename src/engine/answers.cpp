#include "engine/answers.h"

#include <algorithm>

namespace tallo {

void Answers::Add(std::size_t offset, std::string_view text) {
  if (text.size() > text_room_) {
    // A text longer than a block gets a block of its own size.
    const std::size_t block = std::max(kTextBlockSize, text.size());
    texts_.push_back(std::make_unique_for_overwrite<char[]>(block));
    text_end_ = texts_.back().get();
    text_room_ = block;
  }
  std::copy(text.begin(), text.end(), text_end_);
  if (size_ % kRecordsPerBlock == 0) {
    records_.push_back(std::make_unique_for_overwrite<Answer[]>(kRecordsPerBlock));
  }
  records_.back()[size_ % kRecordsPerBlock] = {offset, text_end_, text.size()};
  ++size_;
  text_end_ += text.size();
  text_room_ -= text.size();
}

}  // namespace tallo
