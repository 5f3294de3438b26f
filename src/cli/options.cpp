#include "cli/options.h"

namespace tallo::cli {

const char kUsage[] =
    "Usage: tallo-calc [--p-values] [FILE]\n"
    "       tallo-calc [--p-values] -i FILE...\n"
    "       tallo-calc [--p-values] --explain [FILE]\n"
    "       tallo-calc --check [FILE]\n"
    "Calculate a Tallo worksheet: every expression and statement that ends in \"=\"\n"
    "gets its answer.\n"
    "\n"
    "  FILE          read FILE (standard input when FILE is absent or -) and write\n"
    "                the calculated worksheet to standard output\n"
    "  -i FILE...    calculate each FILE in place; a file that nothing changes is\n"
    "                left as it is\n"
    "  --p-values    end every report line that carries a significance label with\n"
    "                a TAB and the exact p-value of its statistic (p=0.01234)\n"
    "  --explain     as with FILE alone, and say on standard error why each \"=\"\n"
    "                got no answer, one line each: FILE:LINE:COLUMN: no answer: WHY\n"
    "  --check       print only those lines, on standard output; exit with status 1\n"
    "                when there is any\n"
    "  --functions   print the list of operators, functions and statements\n"
    "  --help        print this help\n"
    "  --version     print the version\n"
    "  --            end of options: every argument after it is a file\n";

namespace {

bool ModeOfOption(const std::string& option, Options::Mode& mode) {
  if (option == "-i") {
    mode = Options::Mode::InPlace;
  } else if (option == "--help") {
    mode = Options::Mode::Help;
  } else if (option == "--version") {
    mode = Options::Mode::Version;
  } else if (option == "--functions") {
    mode = Options::Mode::Functions;
  } else if (option == "--explain") {
    mode = Options::Mode::Explain;
  } else if (option == "--check") {
    mode = Options::Mode::Check;
  } else {
    return false;
  }
  return true;
}

std::string CheckFiles(const Options& options, const std::string& mode_option) {
  switch (options.mode) {
    case Options::Mode::ToStandardOutput:
      return options.files.size() > 1 ? "one FILE at most; use -i for several" : "";
    case Options::Mode::Explain:
    case Options::Mode::Check:
      return options.files.size() > 1 ? mode_option + " takes one FILE at most" : "";
    case Options::Mode::InPlace:
      if (options.files.empty()) return "-i needs at least one FILE";
      for (const std::string& file : options.files) {
        if (file == "-") return "-i cannot rewrite standard input";
      }
      return "";
    default:
      return options.files.empty() ? "" : mode_option + " takes no FILE";
  }
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  Options& options = parsed.options;
  std::string mode_option;
  bool options_ended = false;
  for (const std::string& argument : arguments) {
    if (options_ended || argument.size() < 2 || argument[0] != '-') {
      options.files.push_back(argument);
      continue;
    }
    if (argument == "--") {
      options_ended = true;
      continue;
    }
    if (argument == "--p-values") {
      options.p_values = true;
      continue;
    }
    Options::Mode mode;
    if (!ModeOfOption(argument, mode)) {
      parsed.error = "unknown option " + argument;
      return parsed;
    }
    if (!mode_option.empty() && mode_option != argument) {
      parsed.error = mode_option + " and " + argument + " cannot be combined";
      return parsed;
    }
    mode_option = argument;
    options.mode = mode;
  }
  parsed.error = CheckFiles(options, mode_option);
  parsed.ok = parsed.error.empty();
  return parsed;
}

}  // namespace tallo::cli
