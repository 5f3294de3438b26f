// The manual's examples: each ```worksheet block of docs/manual.md, calculated, must give the
// ```calculated block that follows it, so that the manual cannot drift from the program.

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "engine/calculate.h"

namespace tallo {
namespace {

struct Example {
  int line = 0;  // of the worksheet block's opening fence
  std::string worksheet;
  std::optional<std::string> calculated;
};

// The fenced blocks whose info string is "worksheet" or "calculated", paired in order; every
// other block (command lines, for example) is prose to the test.
std::vector<Example> ReadExamples(const char* path) {
  std::ifstream manual(path);
  std::vector<Example> examples;
  std::optional<std::string> kind;  // of the open block
  std::string block;
  std::string line;
  for (int number = 1; std::getline(manual, line); ++number) {
    if (!line.starts_with("```")) {
      if (kind) block += line + '\n';
      continue;
    }
    if (!kind) {
      kind = line.substr(3);
      block.clear();
      if (*kind == "worksheet") examples.push_back({number, {}, {}});
      continue;
    }
    if (*kind == "worksheet") {
      examples.back().worksheet = block;
    } else if (*kind == "calculated") {
      if (examples.empty() || examples.back().calculated) {
        ADD_FAILURE() << "docs/manual.md:" << number << ": a calculated block without its worksheet";
      } else {
        examples.back().calculated = block;
      }
    }
    kind.reset();
  }
  return examples;
}

TEST(Manual, EveryExampleCalculatesAsShown) {
  const std::vector<Example> examples = ReadExamples(TALLO_MANUAL);
  ASSERT_GT(examples.size(), 30u) << "the examples of " << TALLO_MANUAL << " were not found";
  for (const Example& example : examples) {
    SCOPED_TRACE("docs/manual.md:" + std::to_string(example.line));
    ASSERT_TRUE(example.calculated) << "a worksheet without its calculated block";
    EXPECT_EQ(CalculateWorksheet(example.worksheet).text, *example.calculated);
  }
}

}  // namespace
}  // namespace tallo
