#pragma once
// The worksheet as the statement driver reads it: the input with the pre-pass answers in
// place, walked as a run of pieces (input, answer, input, ...) instead of being copied
// into one text. No token spans two pieces: an answer follows an "=" and is a number
// that neither a digit, a letter nor a sign follows.

#include <cstddef>
#include <optional>
#include <string_view>

#include "engine/answers.h"

namespace tallo {

struct AnsweredPiece {
  std::string_view text;
  std::size_t offset;         // in the input: of its first character, or where the answer goes
  std::optional<char> next;   // the character after the piece; nothing at the end of the text
};

// Calls visit for every piece of the input with its answers in place, in text order;
// empty pieces are left out. The pieces are views of input and answers.
template <typename Visit>
void ForEachAnsweredPiece(std::string_view input, const Answers& answers, Visit visit) {
  const std::size_t count = answers.size();
  std::size_t copied = 0;
  for (std::size_t k = 0; k <= count; ++k) {
    const std::size_t end = k < count ? answers.offset(k) : input.size();
    if (end > copied) {
      const std::optional<char> next =
          k < count ? std::optional<char>(answers.text(k)[0]) : std::nullopt;
      visit(AnsweredPiece{input.substr(copied, end - copied), copied, next});
    }
    if (k < count) {
      const std::optional<char> next =
          end < input.size() ? std::optional<char>(input[end]) : std::nullopt;
      visit(AnsweredPiece{answers.text(k), end, next});
    }
    copied = end;
  }
}

}  // namespace tallo
