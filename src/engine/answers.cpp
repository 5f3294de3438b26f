#include "engine/answers.h"

namespace tallo {

void Answers::Add(std::size_t offset, std::string_view text) {
  texts_ += text;
  answers_.push_back({offset, texts_.size()});
}

std::string_view Answers::text(std::size_t k) const {
  const std::size_t begin = k == 0 ? 0 : answers_[k - 1].end;
  return std::string_view(texts_).substr(begin, answers_[k].end - begin);
}

}  // namespace tallo
