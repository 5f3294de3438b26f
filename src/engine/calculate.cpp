#include "engine/calculate.h"

#include "engine/line_ends.h"
#include "engine/pre_pass.h"
#include "engine/reason_placing.h"
#include "engine/statement_driver.h"

namespace tallo {

namespace {

// Moves the reasons' "=" from the input to the calculated text, past the insertions in
// front of them; both lists are in offset order.
void PlaceInCalculatedText(std::vector<Reason>& reasons, const std::vector<Insertion>& insertions) {
  std::size_t inserted = 0;
  std::size_t next = 0;
  for (Reason& reason : reasons) {
    while (next < insertions.size() && insertions[next].offset <= reason.offset) {
      inserted += insertions[next++].text.size();
    }
    reason.calculated_offset = reason.offset + inserted;
  }
}

}  // namespace

Calculation CalculateWorksheet(std::string_view text, const CalculationOptions& options) {
  const ReportOptions report_options{options.p_values};
  CrLfView crlf(text);
  FoundReasons pre_pass_reasons;
  FoundReasons driver_reasons;
  std::vector<Insertion> answers =
      RunPrePass(crlf.text(), options.reasons ? &pre_pass_reasons : nullptr);
  std::vector<Insertion> reports;
  FoundReasons* const driver_found = options.reasons ? &driver_reasons : nullptr;
  if (answers.empty()) {
    reports = RunStatementDriver(crlf.text(), Statements(), report_options, driver_found);
  } else {
    // The driver reads the text with the scalar answers in place.
    const std::string answered = ApplyInsertions(crlf.text(), answers);
    crlf.ReleaseText();
    reports = RunStatementDriver(answered, Statements(), report_options, driver_found);
  }
  crlf.ReleaseText();  // the calculated text is built from the original

  Calculation calculation;
  if (!options.reasons) {
    calculation.insertions =
        crlf.ToOriginal(ComposeInsertions(std::move(answers), std::move(reports)));
  } else {
    // Placing the reasons needs the pre-pass answers and the insertions in the CR LF text.
    std::vector<Insertion> insertions = ComposeInsertions(answers, std::move(reports));
    calculation.reasons = PlaceReasons(
        {std::move(pre_pass_reasons), std::move(driver_reasons), answers, insertions}, crlf, text);
    calculation.insertions = crlf.ToOriginal(std::move(insertions));
    PlaceInCalculatedText(calculation.reasons, calculation.insertions);
  }
  calculation.text = ApplyInsertions(text, calculation.insertions);
  return calculation;
}

}  // namespace tallo
