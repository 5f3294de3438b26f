#include "cli/options.h"

#include <gtest/gtest.h>

namespace tallo::cli {
namespace {

using Mode = Options::Mode;

TEST(ParseOptions, AcceptedCommandLines) {
  struct Case { std::vector<std::string> arguments; Mode mode; std::vector<std::string> files; };
  const Case cases[] = {
      {{}, Mode::ToStandardOutput, {}},
      {{"-"}, Mode::ToStandardOutput, {"-"}},
      {{"sheet.txt"}, Mode::ToStandardOutput, {"sheet.txt"}},
      {{"-i", "a.txt", "b.txt"}, Mode::InPlace, {"a.txt", "b.txt"}},
      {{"a.txt", "-i"}, Mode::InPlace, {"a.txt"}},
      {{"--", "-i"}, Mode::ToStandardOutput, {"-i"}},
      {{"--help"}, Mode::Help, {}},
      {{"--version"}, Mode::Version, {}},
      {{"--functions"}, Mode::Functions, {}},
  };
  for (const Case& c : cases) {
    const ParsedOptions parsed = ParseOptions(c.arguments);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.mode, c.mode);
    EXPECT_EQ(parsed.options.files, c.files);
  }
}

TEST(ParseOptions, RejectedCommandLines) {
  const std::vector<std::vector<std::string>> cases = {
      {"-x"}, {"--frobnicate"}, {"a.txt", "b.txt"}, {"-i"}, {"-i", "-"},
      {"--version", "a.txt"}, {"--help", "--version"}, {"-i", "a.txt", "--functions"},
  };
  for (const auto& arguments : cases) {
    const ParsedOptions parsed = ParseOptions(arguments);
    EXPECT_FALSE(parsed.ok) << arguments.front();
    EXPECT_FALSE(parsed.error.empty());
  }
}

}  // namespace
}  // namespace tallo::cli
