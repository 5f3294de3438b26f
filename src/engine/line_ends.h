#pragma once
// The engine reads CR LF text. A worksheet with LF-only (or mixed) line ends is calculated
// as if every lone LF were CR LF, and its answers come back in the style of the line
// they are inserted into.

#include <string>
#include <string_view>
#include <vector>

#include "engine/insertions.h"

namespace tallo {

// Every CR LF pair turned into LF; lone CRs stay.
void UseLfLineEnds(std::string& text);
std::string WithLfLineEnds(std::string_view text);

class CrLfView {
 public:
  // original must outlive the view.
  explicit CrLfView(std::string_view original);

  // The text with a CR before every lone LF; the original itself when it has none.
  std::string_view text() const { return converted_ ? std::string_view(crlf_) : original_; }

  // Frees the converted text once nothing reads text() any more; ToOriginal still works.
  void ReleaseText();

  // Insertions into text(), moved to the original's offsets; inside a line that ends in a
  // lone LF their CR LF line ends become LF. A last line without line end takes the style
  // of the line before it; a text without line ends keeps CR LF.
  std::vector<Insertion> ToOriginal(std::vector<Insertion> insertions) const;

  // Offsets of characters of text(), in ascending order, moved to the original's offsets.
  std::vector<std::size_t> ToOriginalOffsets(std::vector<std::size_t> offsets) const;

 private:
  class Walk;

  std::string_view original_;
  std::string crlf_;
  bool converted_ = false;
};

}  // namespace tallo
