#include "engine/calculate.h"

#include "engine/line_ends.h"
#include "engine/pre_pass.h"

namespace tallo {

Calculation CalculateWorksheet(std::string_view text) {
  const CrLfView crlf(text);
  std::vector<Insertion> insertions = crlf.ToOriginal(RunPrePass(crlf.text()));
  std::string calculated = ApplyInsertions(text, insertions);
  return {std::move(calculated), std::move(insertions)};
}

}  // namespace tallo
