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

int CalculateToStandardOutput(const std::string& path,
                               const tallo::CalculationOptions& calculation_options) {
  std::string content;
  std::string error;
  if (!tallo::cli::ReadWholeFile(path, content, error)) {
    Complain(NameOf(path), error);
    return 1;
  }
  return Print(tallo::CalculateWorksheet(content, calculation_options).text);
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
      break;
  }
  return CalculateToStandardOutput(options.files.empty() ? "-" : options.files.front(),
                                   calculation_options);
}
