#include "engine/insertion_writer.h"

#include <limits>

namespace tallo {

InsertionWriter::InsertionWriter(std::string_view input, const Answers& answers,
                                 CalculatedTextSink& sink, std::vector<InsertedSpan>* spans)
    : input_(input), answers_(answers), sink_(sink), spans_(spans), line_ends_(input) {}

void InsertionWriter::Report(std::size_t offset, std::string_view report) {
  WriteAnswersBefore(offset);
  Insert(offset, report);
}

void InsertionWriter::Finish() {
  WriteAnswersBefore(std::numeric_limits<std::size_t>::max());
  if (copied_ < input_.size()) sink_.Copy(input_.substr(copied_));
  copied_ = input_.size();
}

void InsertionWriter::WriteAnswersBefore(std::size_t offset) {
  for (; next_answer_ < answers_.size() && answers_.offset(next_answer_) < offset; ++next_answer_) {
    Insert(answers_.offset(next_answer_), answers_.text(next_answer_));
  }
}

void InsertionWriter::Insert(std::size_t offset, std::string_view text) {
  if (offset > copied_) sink_.Copy(input_.substr(copied_, offset - copied_));
  copied_ = offset;
  std::size_t size = text.size();
  if (text.find('\r') != std::string_view::npos && line_ends_.LfAt(offset)) {
    size = 0;
    WriteWithLfLineEnds(text, [&](std::string_view piece) {
      if (piece.empty()) return;
      sink_.Insert(offset, piece);
      size += piece.size();
    });
  } else {
    sink_.Insert(offset, text);
  }
  if (spans_ == nullptr) return;
  if (!spans_->empty() && spans_->back().offset == offset) {
    spans_->back().size += size;
  } else {
    spans_->push_back({offset, size});
  }
}

}  // namespace tallo
