#include "engine/calculate.h"

#include "engine/line_ends.h"
#include "engine/pre_pass.h"
#include "engine/statement_driver.h"

namespace tallo {

Calculation CalculateWorksheet(std::string_view text) {
  CrLfView crlf(text);
  std::vector<Insertion> answers = RunPrePass(crlf.text());
  // The driver reads the text with the scalar answers in place.
  std::vector<Insertion> reports;
  if (answers.empty()) {
    reports = RunStatementDriver(crlf.text());
  } else {
    reports = RunStatementDriver(ApplyInsertions(crlf.text(), answers));
  }
  std::vector<Insertion> insertions = ComposeInsertions(std::move(answers), std::move(reports));
  crlf.ReleaseText();  // the calculated text is built from the original
  insertions = crlf.ToOriginal(std::move(insertions));
  std::string calculated = ApplyInsertions(text, insertions);
  return {std::move(calculated), std::move(insertions)};
}

}  // namespace tallo
