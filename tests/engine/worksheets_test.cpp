// Golden worksheets: every tests/worksheets/NAME.txt is calculated through the entry point
// and compared byte for byte with NAME.expected.txt, with LF and with CR LF line ends.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/calculate.h"
#include "engine/line_ends.h"
#include "support/crlf.h"

namespace tallo {
namespace {

namespace fs = std::filesystem;

struct Golden {
  std::string name;
  fs::path input;
  fs::path expected;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

using testing_support::WithCrLf;

std::vector<Golden> FindGoldens() {
  std::vector<Golden> goldens;
  const fs::path folder = TALLO_WORKSHEETS_DIR;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string file = entry.path().filename().string();
    if (file.ends_with(".expected.txt") || !file.ends_with(".txt")) continue;
    const std::string name = file.substr(0, file.size() - 4);
    goldens.push_back({name, entry.path(), folder / (name + ".expected.txt")});
  }
  // The tour of the README is a golden worksheet too.
  goldens.push_back({"tour", fs::path(TALLO_EXAMPLES_DIR) / "tour.txt", folder / "tour.expected.txt"});
  std::sort(goldens.begin(), goldens.end(),
            [](const Golden& a, const Golden& b) { return a.name < b.name; });
  return goldens;
}

// Removing the insertions from the output must give the input back exactly.
std::string RemoveInsertions(const std::string& output, const std::vector<Insertion>& insertions) {
  std::string input;
  std::size_t position = 0;  // in output
  std::size_t inserted = 0;  // characters inserted before position
  for (const Insertion& insertion : insertions) {
    const std::size_t at = insertion.offset + inserted;
    input.append(output, position, at - position);
    EXPECT_EQ(output.substr(at, insertion.text.size()), insertion.text);
    position = at + insertion.text.size();
    inserted += insertion.text.size();
  }
  input.append(output, position);
  return input;
}

class GoldenWorksheet : public testing::TestWithParam<Golden> {};

TEST_P(GoldenWorksheet, MatchesExpectedWithLfAndCrLf) {
  const Golden& golden = GetParam();
  ASSERT_TRUE(fs::exists(golden.expected)) << golden.expected;
  const std::string input = ReadFile(golden.input);
  const std::string expected = ReadFile(golden.expected);
  ASSERT_EQ(input.find('\r'), std::string::npos) << "golden files are stored with LF";
  EXPECT_EQ(CalculateWorksheet(input).text, expected);
  EXPECT_EQ(CalculateWorksheet(WithCrLf(input)).text, WithCrLf(expected));
}

TEST_P(GoldenWorksheet, OutputIsInputPlusInsertions) {
  for (const std::string& input : {ReadFile(GetParam().input), WithCrLf(ReadFile(GetParam().input))}) {
    const Calculation calculation = CalculateWorksheet(input);
    EXPECT_EQ(ApplyInsertions(input, calculation.insertions), calculation.text);
    EXPECT_EQ(RemoveInsertions(calculation.text, calculation.insertions), input);
  }
}

TEST_P(GoldenWorksheet, SecondCalculationChangesNothing) {
  const std::string once = CalculateWorksheet(ReadFile(GetParam().input)).text;
  const Calculation twice = CalculateWorksheet(once);
  EXPECT_TRUE(twice.insertions.empty());
  EXPECT_EQ(twice.text, once);
}

INSTANTIATE_TEST_SUITE_P(Worksheets, GoldenWorksheet, testing::ValuesIn(FindGoldens()),
                         [](const testing::TestParamInfo<Golden>& info) { return info.param.name; });

}  // namespace
}  // namespace tallo
