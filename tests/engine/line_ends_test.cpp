#include "engine/line_ends.h"

#include <gtest/gtest.h>

#include "engine/calculate.h"

namespace tallo {

void PrintTo(const Insertion& insertion, std::ostream* out) {
  *out << "{" << insertion.offset << ", \"" << insertion.text << "\"}";
}

namespace {

TEST(CrLfView, CrLfTextIsUsedAsItIs) {
  const std::string text = "1+1=\r\n2*2=\r\n";
  const CrLfView view(text);
  EXPECT_EQ(view.text().data(), text.data());
  const std::vector<Insertion> insertions = {{4, "a\r\nb"}};
  EXPECT_EQ(view.ToOriginal(insertions), insertions);
}

TEST(CrLfView, LoneLfsReadAsCrLf) {
  EXPECT_EQ(CrLfView("a\nb\r\nc\n").text(), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(CrLfView("\n\n").text(), "\r\n\r\n");
  EXPECT_EQ(CrLfView("a\rb\n").text(), "a\rb\r\n");  // a lone CR stays
}

TEST(CrLfView, InsertionsMoveBackInTheStyleOfTheirLine) {
  const std::string text = "x=\ny=\r\nz=\nw=";
  const CrLfView view(text);
  ASSERT_EQ(view.text(), "x=\r\ny=\r\nz=\r\nw=");
  const std::vector<Insertion> converted = {
      {2, "1\r\n2"}, {6, "3\r\n"}, {10, "4\r\n"}, {14, "5\r\n"}};
  const std::vector<Insertion> expected = {
      {2, "1\n2"}, {5, "3\r\n"}, {9, "4\n"}, {12, "5\n"}};  // "w=" follows an LF line
  EXPECT_EQ(view.ToOriginal(converted), expected);
}

TEST(CrLfView, TextWithoutLineEndsKeepsCrLf) {
  const CrLfView view("x=");
  EXPECT_EQ(view.ToOriginal({{2, "a\r\nb"}}), (std::vector<Insertion>{{2, "a\r\nb"}}));
}

TEST(WithLfLineEnds, PairsOnly) {
  EXPECT_EQ(WithLfLineEnds("a\r\nb\rc\n\r"), "a\nb\rc\n\r");
}

TEST(CalculateWorksheet, AnswersInTheInputsLineEnds) {
  EXPECT_EQ(CalculateWorksheet("x=2\nx*3=\n").text, "x=2\nx*3=6\n");
  EXPECT_EQ(CalculateWorksheet("x=2\r\nx*3=\r\n").text, "x=2\r\nx*3=6\r\n");
  EXPECT_EQ(CalculateWorksheet("x=2\nx*3=\r\n4/2=").text, "x=2\nx*3=6\r\n4/2=2");
  const Calculation calculation = CalculateWorksheet("x=2\nx*3=\n1+1=\n");
  EXPECT_EQ(calculation.insertions, (std::vector<Insertion>{{8, "6"}, {13, "2"}}));
}

}  // namespace
}  // namespace tallo
