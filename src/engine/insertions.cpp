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

}  // namespace tallo
