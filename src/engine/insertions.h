#pragma once
// The calculation changes a worksheet only by inserting text: what it inserts, and where
// the calculated text goes as it is written.

#include <cstddef>
#include <string_view>

namespace tallo {

// Text inserted before the input's character at offset (offset == size appends).
struct Insertion {
  std::size_t offset = 0;
  std::string_view text;  // a view of the calculated text

  bool operator==(const Insertion& other) const {
    return offset == other.offset && text == other.text;
  }
};

// Where an insertion stands, without its text.
struct InsertedSpan {
  std::size_t offset = 0;  // in the input
  std::size_t size = 0;
};

// Receives a calculated worksheet piece by piece, in text order.
class CalculatedTextSink {
 public:
  virtual ~CalculatedTextSink() = default;
  // The next piece of the input, unchanged.
  virtual void Copy(std::string_view piece) = 0;
  // The next piece of what is inserted before the input's character at offset; one
  // insertion may come in several pieces, one right after another.
  virtual void Insert(std::size_t offset, std::string_view piece) = 0;
};

}  // namespace tallo
