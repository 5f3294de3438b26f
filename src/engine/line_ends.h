#pragma once
// The engine reads a worksheet with CR LF, LF or mixed line ends as it stands, and writes
// each report in the line ends of the line it is inserted into.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tallo {

// Every CR LF pair turned into LF; lone CRs stay.
std::string WithLfLineEnds(std::string_view text);

// Calls write with the pieces of text in order, every CR LF pair written as LF.
template <typename Write>
void WriteWithLfLineEnds(std::string_view text, Write write) {
  for (std::size_t pair = text.find("\r\n"); pair != std::string_view::npos;
       pair = text.find("\r\n")) {
    write(text.substr(0, pair));
    text.remove_prefix(pair + 1);  // the LF starts the next piece
  }
  write(text);
}

// Which line ends an insertion takes: those of the line it goes into, whose end is the
// first LF at or after it. A last line without line end takes the style of the line before
// it, and a text without LF keeps CR LF.
class LineEndStyle {
 public:
  // text must outlive the style.
  explicit LineEndStyle(std::string_view text) : text_(text) {}

  // Whether an insertion at offset takes LF line ends; offsets must not descend.
  bool LfAt(std::size_t offset);

 private:
  bool IsLoneLf(std::size_t lf) const { return lf == 0 || text_[lf - 1] != '\r'; }

  std::string_view text_;
  std::size_t line_end_ = 0;  // the first LF at or after the last offset asked, or npos
  bool found_ = false;        // line_end_ holds that LF for some offset asked
  std::optional<bool> last_line_lf_;  // the style of the last line, once it was asked for
};

}  // namespace tallo
