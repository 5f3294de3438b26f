#include "engine/line_ends.h"

namespace tallo {
namespace {

bool IsLoneLf(std::string_view text, std::size_t lf) { return lf == 0 || text[lf - 1] != '\r'; }

}  // namespace

void UseLfLineEnds(std::string& text) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    text[kept++] = text[i];
  }
  text.resize(kept);
}

std::string WithLfLineEnds(std::string_view text) {
  std::string lf(text);
  UseLfLineEnds(lf);
  return lf;
}

CrLfView::CrLfView(std::string_view original) : original_(original) {
  std::size_t lone = 0;
  for (std::size_t lf = original.find('\n'); lf != std::string_view::npos;
       lf = original.find('\n', lf + 1)) {
    if (IsLoneLf(original, lf)) ++lone;
  }
  if (lone == 0) return;
  converted_ = true;
  crlf_.reserve(original.size() + lone);
  std::size_t copied = 0;
  for (std::size_t lf = original.find('\n'); lf != std::string_view::npos;
       lf = original.find('\n', lf + 1)) {
    if (!IsLoneLf(original, lf)) continue;
    crlf_.append(original.substr(copied, lf - copied));
    crlf_ += '\r';
    copied = lf;
  }
  crlf_.append(original.substr(copied));
}

void CrLfView::ReleaseText() { std::string().swap(crlf_); }

// One walk over the original's LFs alongside ascending offsets into the converted text:
// added counts the CRs the converted text has before the next LF, and last_lf is the LF
// before the offset.
class CrLfView::Walk {
 public:
  explicit Walk(std::string_view original) : original_(original), next_lf_(original.find('\n')) {}

  // The original offset of a converted one. An LF at original offset lf stands at converted
  // offset lf + added (+1 for a lone LF, whose CR comes first); an offset before it moves
  // back by the CRs added so far.
  std::size_t ToOriginal(std::size_t converted) {
    while (next_lf_ != std::string_view::npos && next_lf_ + added_ < converted) {
      if (IsLoneLf(original_, next_lf_)) ++added_;
      last_lf_ = next_lf_;
      next_lf_ = original_.find('\n', next_lf_ + 1);
    }
    return converted - added_;
  }

  // Whether the line of the last offset ends in a lone LF; a last line without line end
  // takes the style of the line before it.
  bool InLfLine() const {
    const std::size_t line_end = next_lf_ != std::string_view::npos ? next_lf_ : last_lf_;
    return line_end != std::string_view::npos && IsLoneLf(original_, line_end);
  }

 private:
  std::string_view original_;
  std::size_t added_ = 0;
  std::size_t next_lf_;
  std::size_t last_lf_ = std::string_view::npos;
};

std::vector<Insertion> CrLfView::ToOriginal(std::vector<Insertion> insertions) const {
  if (!converted_) return insertions;
  Walk walk(original_);
  for (Insertion& insertion : insertions) {
    insertion.offset = walk.ToOriginal(insertion.offset);
    if (walk.InLfLine()) UseLfLineEnds(insertion.text);
  }
  return insertions;
}

std::vector<std::size_t> CrLfView::ToOriginalOffsets(std::vector<std::size_t> offsets) const {
  if (!converted_) return offsets;
  Walk walk(original_);
  for (std::size_t& offset : offsets) offset = walk.ToOriginal(offset);
  return offsets;
}

}  // namespace tallo
