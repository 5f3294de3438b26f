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

std::vector<Insertion> CrLfView::ToOriginal(std::vector<Insertion> insertions) const {
  if (!converted_) return insertions;
  // One walk over the original's LFs alongside the insertions: added counts the CRs the
  // converted text has before the next LF, and last_lf is the LF before the insertion.
  std::size_t added = 0;
  std::size_t next_lf = original_.find('\n');
  std::size_t last_lf = std::string_view::npos;
  for (Insertion& insertion : insertions) {
    // An LF at original offset lf stands at converted offset lf + added (+1 for a lone LF,
    // whose CR comes first); an insertion before it moves back by the CRs added so far.
    while (next_lf != std::string_view::npos && next_lf + added < insertion.offset) {
      if (IsLoneLf(original_, next_lf)) ++added;
      last_lf = next_lf;
      next_lf = original_.find('\n', next_lf + 1);
    }
    insertion.offset -= added;
    const std::size_t line_end = next_lf != std::string_view::npos ? next_lf : last_lf;
    if (line_end != std::string_view::npos && IsLoneLf(original_, line_end)) {
      UseLfLineEnds(insertion.text);
    }
  }
  return insertions;
}

}  // namespace tallo
