#pragma once
// Writes the calculated worksheet as the passes produce it: the input, the answers of the
// pre-pass and the reports of the statement driver, merged in text order and streamed to
// a sink, so that no whole copy of the text is ever held.

#include <cstddef>
#include <string_view>
#include <vector>

#include "engine/answers.h"
#include "engine/insertions.h"
#include "engine/line_ends.h"

namespace tallo {

class InsertionWriter {
 public:
  // input and answers must outlive the writer. With spans given, the place and length of
  // every insertion is added there, those at one offset joined.
  InsertionWriter(std::string_view input, const Answers& answers, CalculatedTextSink& sink,
                  std::vector<InsertedSpan>* spans = nullptr);

  // A report (or an answer streamed past the kept ones) to insert at offset, in CR LF line
  // ends; offsets must not descend. A kept answer at the same offset comes after it.
  void Report(std::size_t offset, std::string_view report);

  // Writes the answers still due and the rest of the input.
  void Finish();

 private:
  void WriteAnswersBefore(std::size_t offset);
  void Insert(std::size_t offset, std::string_view text);

  std::string_view input_;
  const Answers& answers_;
  CalculatedTextSink& sink_;
  std::vector<InsertedSpan>* spans_;
  LineEndStyle line_ends_;
  std::size_t copied_ = 0;       // the input written so far
  std::size_t next_answer_ = 0;  // the first answer not yet written
};

}  // namespace tallo
