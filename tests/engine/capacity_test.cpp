// No capacity limits: lists, tables, data sets and definitions of any number are read whole.

#include <gtest/gtest.h>

#include <string>

#include "engine/calculate.h"

namespace tallo {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(Capacity, ListsOfAnyLength) {
  std::string text = "a={";
  for (int i = 0; i < 100000; ++i) text += std::to_string(i % 97) + "\r\n";
  text += "}\r\ncount(a)= max(a)=\r\n";
  EXPECT_TRUE(CalculateWorksheet(text).text.ends_with("count(a)=100000 max(a)=96\r\n"));
}

TEST(Capacity, TablesOfAnySize) {
  // 600 cases of 30 variables, variable j holding j times the case number: the mean of vj
  // is 300.5 j (by hand).
  std::string text = "t={";
  for (int j = 1; j <= 30; ++j) text += "\tv" + std::to_string(j);
  text += "\r\n";
  for (int i = 1; i <= 600; ++i) {
    text += "case" + std::to_string(i);
    for (int j = 1; j <= 30; ++j) text += "\t" + std::to_string(i * j);
    text += "\r\n";
  }
  const std::string report = CalculateWorksheet(text + "}\r\nvcmtrx(t)=\r\n").text;
  EXPECT_TRUE(Contains(report, "\r\n[v2] 601.000000, "));
  EXPECT_TRUE(Contains(report, "\r\n[v30] 9015.000000, "));
  EXPECT_TRUE(Contains(report, "\r\nn=600\r\n"));
}

TEST(Capacity, DataSetsAndDefinitionsOfAnyNumber) {
  // 300 definitions of one name: the earliest is used.
  std::string text;
  for (int i = 1; i <= 300; ++i) text += "v={" + std::to_string(i) + "}\r\n";
  EXPECT_EQ(CalculateWorksheet(text + "max(v)=\r\n").text, text + "max(v)=1\r\n");
  // 2000 data sets of three-letter names, each summed.
  text.clear();
  for (int i = 0; i < 2000; ++i) {
    const std::string name = {static_cast<char>('a' + i % 26), static_cast<char>('a' + i / 26 % 26),
                              static_cast<char>('a' + i / 676)};
    text += name + "={" + std::to_string(i) + ",1}\r\nsum(" + name + ")=\r\n";
  }
  const std::string calculated = CalculateWorksheet(text).text;
  EXPECT_TRUE(Contains(calculated, "sum(aaa)=1\r\n"));
  EXPECT_TRUE(Contains(calculated, "sum(xyc)=2000\r\n"));  // i = 23 + 24*26 + 2*676
}

// A line is read to its 9995th piece, which takes the rest of the line; an "=" in that rest
// that would ask for an answer says so. Not one of an "==", an assignment or a data set.
TEST(Capacity, ALineCutAtItsPieceLimitSaysWhereItStopped) {
  std::string head;
  for (int i = 0; i < 4997; ++i) head += "a ";  // 9994 pieces
  const std::string rest = "1+1= x=2 y==z y== w={ v=\n";
  const Calculation calculation = CalculateWorksheet(head + rest, {.reasons = true});
  ASSERT_EQ(calculation.reasons.size(), 2u);
  for (const Reason& reason : calculation.reasons) EXPECT_EQ(reason.kind, ReasonKind::BoundReached);
  EXPECT_EQ(calculation.reasons[0].offset, head.size() + rest.find("= "));
  EXPECT_EQ(calculation.reasons[1].offset, head.size() + rest.find("=\n"));
  EXPECT_EQ(calculation.text, head + rest);
}

}  // namespace
}  // namespace tallo
