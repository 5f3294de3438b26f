#pragma once
// Command line of tallo-calc.

#include <string>
#include <vector>

namespace tallo::cli {

struct Options {
  enum class Mode { ToStandardOutput, InPlace, Help, Version, Functions, Explain, Check };
  Mode mode = Mode::ToStandardOutput;
  std::vector<std::string> files;  // "-" is standard input
  bool p_values = false;           // an exact p-value after every significance label
};

struct ParsedOptions {
  bool ok = false;
  Options options;
  std::string error;  // why the command line was rejected
};

ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

extern const char kUsage[];

}  // namespace tallo::cli
