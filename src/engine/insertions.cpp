#include "engine/insertions.h"

namespace tallo {

std::string ApplyInsertions(std::string_view text, const std::vector<Insertion>& insertions) {
  std::size_t total = text.size();
  for (const Insertion& insertion : insertions) total += insertion.text.size();
  std::string out;
  out.reserve(total);
  std::size_t copied = 0;
  for (const Insertion& insertion : insertions) {
    out.append(text.substr(copied, insertion.offset - copied));
    out.append(insertion.text);
    copied = insertion.offset;
  }
  out.append(text.substr(copied));
  return out;
}

std::vector<Insertion> ComposeInsertions(std::vector<Insertion> first,
                                         std::vector<Insertion> second) {
  std::vector<Insertion> composed;
  composed.reserve(first.size() + second.size());
  const auto add = [&](Insertion insertion) {
    if (!composed.empty() && composed.back().offset == insertion.offset) {
      composed.back().text += insertion.text;
    } else {
      composed.push_back(std::move(insertion));
    }
  };
  // A second-pass insertion lands before a first-pass text that starts where it does.
  std::size_t f = 0;
  std::size_t shift = 0;  // length of the first-pass texts before the current position
  for (Insertion& later : second) {
    while (f < first.size() && first[f].offset + shift + first[f].text.size() <= later.offset) {
      shift += first[f].text.size();
      add(std::move(first[f++]));
    }
    later.offset -= shift;
    add(std::move(later));
  }
  while (f < first.size()) add(std::move(first[f++]));
  return composed;
}

}  // namespace tallo
