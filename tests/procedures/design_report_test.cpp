#include "procedures/design_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tallo {
namespace {

std::vector<std::string_view> Labels(std::size_t count) {
  static const char* const kNames[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"};
  return {kNames, kNames + count};
}

TEST(LabelLine, CommasAndTheCutAfterShownLabels) {
  struct Case {
    std::size_t labels, shown;
    const char* line;
  };
  const Case cases[] = {
      {0, 8, "F\t\r\n"},  // a table without data columns still ends its line
      {1, 8, "F\ta\r\n"},
      {3, 8, "F\ta, b, c\r\n"},
      {8, 8, "F\ta, b, c, d, e, f, g, h\r\n"},
      {9, 8, "F\ta, b, c, d, e, f, g, h, .....\r\n"},
      {11, 8, "F\ta, b, c, d, e, f, g, h, .....\r\n"},
  };
  for (const Case& c : cases) {
    std::string line;
    AppendLabelLine(line, "F", Labels(c.labels), c.shown);
    EXPECT_EQ(line, c.line) << c.labels << " labels";
  }
  std::string all;
  AppendLabelLine(all, "FACTOR", Labels(11));
  EXPECT_EQ(all, "FACTOR\ta, b, c, d, e, f, g, h, i, j, k\r\n");
}

TEST(LabelLine, TabsAndTheCutAfterFourLabels) {
  struct Case {
    std::size_t labels;
    const char* line;
  };
  const Case cases[] = {
      {0, "F\t\r\n"},
      {3, "F\ta\tb\tc\t\r\n"},
      {4, "F\ta\tb\tc\td\t...\r\n"},
      {9, "F\ta\tb\tc\td\t...\r\n"},
  };
  for (const Case& c : cases) {
    std::string line;
    AppendTabbedLabelLine(line, "F", Labels(c.labels));
    EXPECT_EQ(line, c.line) << c.labels << " labels";
  }
}

TEST(SignificanceLabel, ChiSquareLevels) {
  // Published upper points on 2 df: 4.605 (10%), 5.991 (5%), 7.824 (2%), 9.210 (1%);
  // reaching a point exactly counts.
  struct Case {
    double statistic;
    const char* label;
  };
  const Case cases[] = {{4.604, "n.s"},   {4.605, "P<0.10"}, {5.991, "P<0.05"},    {7.9, "P<0.02"},
                        {9.21, "P<0.01"}, {1e9, "P<0.01"},   {std::nan(""), "n.s"}};
  for (const Case& c : cases) EXPECT_EQ(ChiSquareLabel(c.statistic, 2), c.label) << c.statistic;
}

TEST(SignificanceLabel, NoChiSquarePointWithoutDegreesOfFreedom) {
  // The critical value of 0 df would be 0, which every statistic reaches.
  EXPECT_EQ(ChiSquareLabel(0, 0), "n.s");
  EXPECT_EQ(ChiSquareLabel(50, 0), "n.s");
  EXPECT_EQ(ChiSquareLabel(50, -1), "n.s");
}

TEST(SignificanceLabel, FRatioInTheCallersStrings) {
  // Published F on 1 and 6 df: 5.99 (5%), 8.81 (2.5%), 13.75 (1%), 18.63 (0.5%).
  const SignificanceLabels padded = {"n.s", {"P<0.05 ", "P<0.025", "P<0.01 ", "P<0.005"}};
  struct Case {
    double ratio;
    const char* label;
  };
  const Case cases[] = {
      {5.98, "n.s"}, {5.99, "P<0.05 "}, {8.81, "P<0.025"}, {13.75, "P<0.01 "}, {18.63, "P<0.005"}};
  for (const Case& c : cases) EXPECT_EQ(FRatioLabel(c.ratio, 1, 6, padded), c.label) << c.ratio;
  EXPECT_EQ(FRatioLabel(1e9, 0, 6, padded), "n.s");  // no numerator degrees of freedom
}

TEST(DesignGroups, ColumnsReadAsListsOfTheirNumbers) {
  const CellGrid grid = SplitTableCells(
      "\tA\tnotes\tC\r\n"
      "r1\t1\tgood\t7\r\n"
      "r2\t\tbad\t8\r\n"
      "r3\t3\t\t9\r\n");
  const DesignGroups groups = ReadDesignGroups(grid);
  ASSERT_EQ(groups.labels.size(), 3u);
  EXPECT_EQ(groups.labels[0], "A");
  EXPECT_EQ(groups.labels[1], "notes");
  EXPECT_EQ(groups.values[0], (std::vector<double>{1, 3}));
  EXPECT_TRUE(groups.values[1].empty());
  EXPECT_EQ(groups.values[2], (std::vector<double>{7, 8, 9}));

  const std::vector<std::string_view> rows = ReadRowLabels(grid, 2);
  EXPECT_EQ(rows, (std::vector<std::string_view>{"r1", "r2"}));
}

}  // namespace
}  // namespace tallo
