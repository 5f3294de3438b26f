// Golden worksheets: every tests/worksheets/NAME.txt is calculated through the entry point
// and compared byte for byte with NAME.expected.txt, with LF and with CR LF line ends; a
// NAME.p_values.txt is calculated with exact p-values; the CR LF run reads every data set
// again for each statement that uses it. Each calculation is its input plus
// the insertions, p-values add nothing but their fields, and calculating the result again
// inserts nothing. Where NAME.reasons.txt exists, it lists the worksheet's reasons, one
// "LINE:COLUMN KIND: MESSAGE" a line. The committed fuzzing corpus is replayed through the
// same insertion check, so inputs that once broke the engine keep being checked (under the
// sanitizers too).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/calculate.h"
#include "fuzz/calculation_invariant.h"
#include "support/files.h"

namespace tallo {
namespace {

namespace fs = std::filesystem;
using fuzzing::CheckCalculation;
using testing_support::ReadFile;
using testing_support::WithCrLf;

struct Golden {
  std::string name;
  fs::path input;
  fs::path expected;
  CalculationOptions options;
  fs::path reasons;
};

std::string ReasonLines(std::string_view text) {
  std::string lines;
  for (const Reason& reason : CalculateWorksheet(text, {.reasons = true}).reasons) {
    lines += std::to_string(reason.line) + ":" + std::to_string(reason.column) + " " +
             std::string(ReasonKindName(reason.kind)) + ": " + reason.message + "\n";
  }
  return lines;
}

std::vector<Golden> FindGoldens() {
  std::vector<Golden> goldens;
  const fs::path folder = TALLO_WORKSHEETS_DIR;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string file = entry.path().filename().string();
    if (!file.ends_with(".txt") || file.ends_with(".expected.txt") ||
        file.ends_with(".reasons.txt")) {
      continue;  // they go with NAME.txt
    }
    const std::string name = file.substr(0, file.size() - 4);
    goldens.push_back({name, entry.path(), folder / (name + ".expected.txt"),
                       {.p_values = name.ends_with(".p_values")},
                       folder / (name + ".reasons.txt")});
  }
  // The tour of the README is a golden worksheet too.
  goldens.push_back({"tour", fs::path(TALLO_EXAMPLES_DIR) / "tour.txt",
                     folder / "tour.expected.txt", {}, folder / "tour.reasons.txt"});
  std::sort(goldens.begin(), goldens.end(),
            [](const Golden& a, const Golden& b) { return a.name < b.name; });
  return goldens;
}

class GoldenWorksheet : public testing::TestWithParam<Golden> {};

TEST_P(GoldenWorksheet, MatchesExpectedWithLfAndCrLf) {
  const Golden& golden = GetParam();
  ASSERT_TRUE(fs::exists(golden.expected)) << golden.expected;
  const std::string input = ReadFile(golden.input);
  const std::string expected = ReadFile(golden.expected);
  ASSERT_EQ(input.find('\r'), std::string::npos) << "golden files are stored with LF";
  EXPECT_EQ(CalculateWorksheet(input, golden.options).text, expected);
  // The CR LF run keeps no data set's readings past the statement using it: a data set
  // read again gives the same reports.
  CalculationOptions rereading = golden.options;
  rereading.reading_budget = 0;
  EXPECT_EQ(CalculateWorksheet(WithCrLf(input), rereading).text, WithCrLf(expected));
  EXPECT_EQ(CheckCalculation(input), "");
  EXPECT_EQ(CheckCalculation(WithCrLf(input)), "");
  EXPECT_EQ(fuzzing::SecondCalculationGains(expected, golden.options), "");
  if (fs::exists(golden.reasons)) {
    EXPECT_EQ(ReasonLines(input), ReadFile(golden.reasons));
    EXPECT_EQ(ReasonLines(WithCrLf(input)), ReadFile(golden.reasons));
  }
}

INSTANTIATE_TEST_SUITE_P(Worksheets, GoldenWorksheet, testing::ValuesIn(FindGoldens()),
                         [](const testing::TestParamInfo<Golden>& info) {
                           std::string name = info.param.name;
                           std::replace(name.begin(), name.end(), '.', '_');
                           return name;
                         });

TEST(FuzzingCorpus, EveryInputKeepsTheInvariant) {
  int replayed = 0;
  for (const auto& entry : fs::directory_iterator(TALLO_FUZZ_CORPUS_DIR)) {
    EXPECT_EQ(CheckCalculation(ReadFile(entry.path())), "") << entry.path();
    ++replayed;
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace tallo
