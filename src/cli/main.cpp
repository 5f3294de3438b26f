// tallo-calc: Do Calculation on worksheet files from the command line.

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/file_io.h"
#include "cli/options.h"
#include "engine/calculate.h"
#include "engine/function_list.h"
#include "engine/line_ends.h"

namespace {

using tallo::cli::Options;

void Complain(const std::string& subject, const std::string& reason) {
  std::fprintf(stderr, "tallo-calc: %s: %s\n", subject.c_str(), reason.c_str());
}

std::string NameOf(const std::string& path) { return path == "-" ? "standard input" : path; }

int Print(std::string_view text) {
  std::string error;
  if (tallo::cli::WriteStandardOutput(text, error)) return 0;
  Complain("standard output", error);
  return 1;
}

// "FILE:LINE:COLUMN: no answer: MESSAGE", the form editors and IDEs jump to.
std::string ReasonLines(const std::string& path, const std::vector<tallo::Reason>& reasons) {
  const std::string name = path == "-" ? "<stdin>" : path;
  std::string lines;
  for (const tallo::Reason& reason : reasons) {
    lines += name + ":" + std::to_string(reason.line) + ":" + std::to_string(reason.column) +
             ": no answer: " + reason.message + "\n";
  }
  return lines;
}

// The calculated worksheet to standard output; with --explain the reasons to standard
// error, with --check only the reasons, to standard output.
int CalculateToStandardOutput(const std::string& path, Options::Mode mode,
                              tallo::CalculationOptions calculation_options) {
  std::string content;
  std::string error;
  if (!tallo::cli::ReadWholeFile(path, content, error)) {
    Complain(NameOf(path), error);
    return 1;
  }
  const bool explain = mode == Options::Mode::Explain;
  const bool check = mode == Options::Mode::Check;
  calculation_options.reasons = explain || check;
  const tallo::Calculation calculation = tallo::CalculateWorksheet(content, calculation_options);
  const std::string reasons = ReasonLines(path, calculation.reasons);
  if (check) return Print(reasons) != 0 || !reasons.empty() ? 1 : 0;
  const int status = Print(calculation.text);
  if (explain) std::fwrite(reasons.data(), 1, reasons.size(), stderr);
  return status;
}

int CalculateInPlace(const std::vector<std::string>& paths,
                     const tallo::CalculationOptions& calculation_options) {
  int status = 0;
  for (const std::string& path : paths) {
    std::string content;
    std::string error;
    if (!tallo::cli::ReadWholeFile(path, content, error)) {
      Complain(path, error);
      status = 1;
      continue;
    }
    const tallo::Calculation calculation = tallo::CalculateWorksheet(content, calculation_options);
    if (calculation.insertions.empty()) continue;
    if (!tallo::cli::ReplaceFile(path, calculation.text, error)) {
      Complain(path, error);
      status = 1;
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // Past a file-size limit a write should fail with EFBIG, reported like any other write
  // error, instead of killing the process halfway through a replacement.
  std::signal(SIGXFSZ, SIG_IGN);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const tallo::cli::ParsedOptions parsed = tallo::cli::ParseOptions(arguments);
  if (!parsed.ok) {
    std::fprintf(stderr, "tallo-calc: %s\n%s", parsed.error.c_str(), tallo::cli::kUsage);
    return 2;
  }
  const Options& options = parsed.options;
  const tallo::CalculationOptions calculation_options{options.p_values};
  switch (options.mode) {
    case Options::Mode::Help:
      return Print(tallo::cli::kUsage);
    case Options::Mode::Version:
      return Print("Tallo Version " TALLO_VERSION "\n");
    case Options::Mode::Functions:
      // A terminal wants LF line ends; the stored text has CR LF.
      return Print(tallo::WithLfLineEnds(tallo::FunctionListText()));
    case Options::Mode::InPlace:
      return CalculateInPlace(options.files, calculation_options);
    case Options::Mode::ToStandardOutput:
    case Options::Mode::Explain:
    case Options::Mode::Check:
      break;
  }
  return CalculateToStandardOutput(options.files.empty() ? "-" : options.files.front(),
                                   options.mode, calculation_options);
}
