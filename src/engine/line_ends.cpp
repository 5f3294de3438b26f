#include "engine/line_ends.h"

namespace tallo {

std::string WithLfLineEnds(std::string_view text) {
  std::string lf;
  lf.reserve(text.size());
  WriteWithLfLineEnds(text, [&](std::string_view piece) { lf += piece; });
  return lf;
}

bool LineEndStyle::LfAt(std::size_t offset) {
  if (!found_ || (line_end_ != std::string_view::npos && line_end_ < offset)) {
    line_end_ = text_.find('\n', offset);
    found_ = true;
  }
  if (line_end_ != std::string_view::npos) return IsLoneLf(line_end_);
  if (!last_line_lf_) {
    const std::size_t last_lf = text_.rfind('\n');
    last_line_lf_ = last_lf != std::string_view::npos && IsLoneLf(last_lf);
  }
  return *last_line_lf_;
}

}  // namespace tallo
