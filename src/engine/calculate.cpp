#include "engine/calculate.h"

#include "engine/line_ends.h"
#include "engine/pre_pass.h"
#include "engine/statement_driver.h"

namespace tallo {

Calculation CalculateWorksheet(std::string_view text, const CalculationOptions& options) {
  const ReportOptions report_options{options.p_values};
  CrLfView crlf(text);
  std::vector<Insertion> answers = RunPrePass(crlf.text());
  std::vector<Insertion> reports;
  if (answers.empty()) {
    reports = RunStatementDriver(crlf.text(), Statements(), report_options);
  } else {
    // The driver reads the text with the scalar answers in place.
    const std::string answered = ApplyInsertions(crlf.text(), answers);
    crlf.ReleaseText();
    reports = RunStatementDriver(answered, Statements(), report_options);
  }
  crlf.ReleaseText();  // the calculated text is built from the original
  std::vector<Insertion> insertions =
      crlf.ToOriginal(ComposeInsertions(std::move(answers), std::move(reports)));
  std::string calculated = ApplyInsertions(text, insertions);
  return {std::move(calculated), std::move(insertions)};
}

}  // namespace tallo
