#include "engine/calculate.h"

#include <utility>

#include "engine/insertion_writer.h"
#include "engine/pre_pass.h"
#include "engine/reason_placing.h"
#include "engine/statement_driver.h"

namespace tallo {

namespace {

// Collects a streamed calculation: the text, and where each insertion stands in it.
class CalculationBuilder : public CalculatedTextSink {
 public:
  void Copy(std::string_view piece) override { text_ += piece; }

  void Insert(std::size_t offset, std::string_view piece) override {
    // Insertions at one offset arrive one after the other, with nothing copied between them.
    if (spans_.empty() || spans_.back().end != text_.size()) {
      spans_.push_back({offset, text_.size(), text_.size()});
    }
    text_ += piece;
    spans_.back().end = text_.size();
  }

  Calculation Take(std::vector<Reason> reasons) {
    Calculation calculation;
    calculation.text = std::move(text_);
    calculation.reasons = std::move(reasons);
    const std::string_view text = calculation.text;
    calculation.insertions.reserve(spans_.size());
    for (const Span& span : spans_) {
      calculation.insertions.push_back({span.offset, text.substr(span.begin, span.end - span.begin)});
    }
    return calculation;
  }

 private:
  struct Span {
    std::size_t offset;  // in the input
    std::size_t begin;   // in the calculated text
    std::size_t end;
  };
  std::string text_;
  std::vector<Span> spans_;
};

}  // namespace

Calculation::Calculation(const Calculation& other)
    : text(other.text), insertions(other.insertions), reasons(other.reasons) {
  ViewOwnText(other.text.data());
}

Calculation::Calculation(Calculation&& other) noexcept { *this = std::move(other); }

Calculation& Calculation::operator=(const Calculation& other) {
  if (this != &other) {
    text = other.text;
    insertions = other.insertions;
    reasons = other.reasons;
    ViewOwnText(other.text.data());
  }
  return *this;
}

Calculation& Calculation::operator=(Calculation&& other) noexcept {
  const char* viewed = other.text.data();  // a short text moves out of its own storage
  text = std::move(other.text);
  insertions = std::move(other.insertions);
  reasons = std::move(other.reasons);
  ViewOwnText(viewed);
  return *this;
}

void Calculation::ViewOwnText(const char* viewed) {
  if (viewed == text.data()) return;
  for (Insertion& insertion : insertions) {
    insertion.text = std::string_view(text.data() + (insertion.text.data() - viewed),
                                      insertion.text.size());
  }
}

std::vector<Reason> CalculateWorksheet(std::string_view text, const CalculationOptions& options,
                                       CalculatedTextSink& sink) {
  // A data set is defined by "={": without a "{" no statement has data to run on, and the
  // driver's walk over the text is needed only to explain or count. The answers then go
  // straight out as the pre-pass finds them, instead of being kept for that walk.
  if (!options.reasons && options.counts == nullptr && text.find('{') == std::string_view::npos) {
    const Answers none;
    InsertionWriter writer(text, none, sink);
    RunPrePass(text, [&](std::size_t offset, std::string_view answer) {
      writer.Report(offset, answer);
    });
    writer.Finish();
    return {};
  }
  FoundReasons pre_pass_reasons;
  FoundReasons driver_reasons;
  std::vector<InsertedSpan> spans;
  Answers answers;
  RunPrePass(
      text, [&](std::size_t offset, std::string_view answer) { answers.Add(offset, answer); },
      options.reasons ? &pre_pass_reasons : nullptr, options.counts);
  InsertionWriter writer(text, answers, sink, options.reasons ? &spans : nullptr);
  RunStatementDriver(
      text, answers, Statements(), ReportOptions{options.p_values}, options.reading_budget,
      [&](std::size_t offset, std::string_view report) { writer.Report(offset, report); },
      options.reasons ? &driver_reasons : nullptr, options.counts);
  writer.Finish();
  if (!options.reasons) return {};
  return PlaceReasons({std::move(pre_pass_reasons), std::move(driver_reasons), spans}, text);
}

Calculation CalculateWorksheet(std::string_view text, const CalculationOptions& options) {
  CalculationBuilder builder;
  std::vector<Reason> reasons = CalculateWorksheet(text, options, builder);
  return builder.Take(std::move(reasons));
}

}  // namespace tallo
