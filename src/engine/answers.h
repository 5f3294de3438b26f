#pragma once
// The answers of a worksheet's scalar expressions, as the pre-pass finds them: each is
// inserted right after its "=". Their texts go into blocks of one size that are filled
// in turn, and their places into blocks of records, so that neither is ever copied to
// grow: a worksheet of many answers costs no reallocation and no memory held twice.

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace tallo {

class Answers {
 public:
  // An answer inserted before the input's character at offset; offsets ascend.
  void Add(std::size_t offset, std::string_view text);

  std::size_t size() const { return size_; }
  std::size_t offset(std::size_t k) const { return Record(k).offset; }
  // A view of the answer's text, valid as long as the answers.
  std::string_view text(std::size_t k) const {
    const Answer& answer = Record(k);
    return {answer.text, answer.size};
  }

 private:
  static constexpr std::size_t kRecordsPerBlock = 4096;
  static constexpr std::size_t kTextBlockSize = 1 << 16;

  struct Answer {
    std::size_t offset;
    const char* text;
    std::size_t size;
  };

  const Answer& Record(std::size_t k) const {
    return records_[k / kRecordsPerBlock][k % kRecordsPerBlock];
  }

  std::vector<std::unique_ptr<Answer[]>> records_;
  std::vector<std::unique_ptr<char[]>> texts_;
  std::size_t size_ = 0;
  std::size_t text_room_ = 0;  // what is left in the last block of texts
  char* text_end_ = nullptr;   // where the next text goes in it
};

}  // namespace tallo
