#include "procedures/descriptive.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace tallo {
namespace {

std::string Answer(Procedure procedure, std::string_view data) {
  const std::array<std::string_view, 1> texts = {data};
  return procedure(texts);
}

TEST(DescriptiveAnswers, SingleNumbers) {
  const char* eight = "2,4,4,4,5,5,7,9";
  EXPECT_EQ(Answer(MeanAnswer, eight), "5");
  EXPECT_EQ(Answer(SumAnswer, eight), "40");
  EXPECT_EQ(Answer(StandardDeviationAnswer, eight), "2.13809");  // sqrt(32/7)
  EXPECT_EQ(Answer(StandardErrorAnswer, eight), "0.755929");     // sqrt(32/7)/sqrt(8)
  EXPECT_EQ(Answer(CountAnswer, eight), "8");
  EXPECT_EQ(Answer(MaximumAnswer, "-3,-7"), "-3");
  EXPECT_EQ(Answer(MinimumAnswer, "-3,-7"), "-7");
  EXPECT_EQ(Answer(MeanAnswer, "1,2"), "1.5");
  EXPECT_EQ(Answer(MeanAnswer, "0,0,1"), "0.333333");
  EXPECT_EQ(Answer(CountAnswer, "1,x,,3"), "2");
  EXPECT_EQ(Answer(SumAnswer, "1e6,1e6"), "2000000");  // "%f", never an exponent
}

TEST(DescriptiveAnswers, TooFewValues) {
  for (Procedure undefined : {MeanAnswer, MaximumAnswer, MinimumAnswer,
                              StandardDeviationAnswer, StandardErrorAnswer}) {
    EXPECT_EQ(Answer(undefined, "x"), "nan");
  }
  EXPECT_EQ(Answer(SumAnswer, "x"), "0");
  EXPECT_EQ(Answer(CountAnswer, "x"), "0");
  EXPECT_EQ(Answer(StandardDeviationAnswer, "5"), "nan");
  EXPECT_EQ(Answer(StandardErrorAnswer, "5"), "nan");
  EXPECT_EQ(Answer(MeanAnswer, "5"), "5");
}

std::vector<double> Sequence(int n) {
  std::vector<double> values;
  for (int i = 1; i <= n; ++i) values.push_back(i);
  return values;
}

int LineCount(const std::string& text) {
  int lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  return lines;
}

TEST(Histogram, TenValues) {
  // n = 10: 5 bins, mean 5.5, width 9/5 = 1.8, edges 2.8, 4.6, 6.4, 8.2.
  EXPECT_EQ(Histogram(Sequence(10)),
            "--------------------\r\n"
            "< 2.8\t\t|**\r\n"
            ">=2.8\t\t|**\r\n"
            ">=4.6\t\t|**\r\n"
            ">=6.4\t\t|**\r\n"
            ">=8.2\t\t|**\r\n");
}

TEST(Histogram, BinsFollowTheCount) {
  EXPECT_EQ(LineCount(Histogram(Sequence(7))), 1 + 3);
  EXPECT_EQ(LineCount(Histogram(Sequence(8))), 1 + 5);
  EXPECT_EQ(LineCount(Histogram(Sequence(25))), 1 + 5);
  EXPECT_EQ(LineCount(Histogram(Sequence(26))), 1 + 7);
  EXPECT_EQ(LineCount(Histogram(Sequence(40))), 1 + 7);
  EXPECT_EQ(LineCount(Histogram(Sequence(41))), 1 + 9);
}

TEST(Histogram, StarScaleBeyondEightyValues) {
  // 81 values 1..81: 9 bins of width 80/9 centred on 41; 9 values each, drawn as 9/2 = 4
  // stars; one star stands for 81/40 = 2 values.
  const std::string report = Histogram(Sequence(81));
  EXPECT_EQ(report.substr(report.size() - 5), "*=2\r\n");
  EXPECT_NE(report.find("< 9.88889\t\t|****\r\n"), std::string::npos);  // 41 - 3.5 * 80/9
  EXPECT_EQ(report.find("*****"), std::string::npos);
  EXPECT_EQ(Histogram(Sequence(80)).find("*="), std::string::npos);
  EXPECT_EQ(Histogram(Sequence(120)).substr(Histogram(Sequence(120)).size() - 5), "*=3\r\n");
}

TEST(Histogram, EqualValuesFallIntoTheLastBin) {
  EXPECT_EQ(Histogram(std::vector<double>{4, 4, 4}),
            "--------------------\r\n< 4\t\t|\r\n>=4\t\t|\r\n>=4\t\t|***\r\n");
}

TEST(Histogram, ValueOnAnEdgeBelongsAbove) {
  // 0, 1, 2, 3: mean 1.5, width 1, edges 1.5 -+ 0.5 = 1 and 2, both values of the sample.
  EXPECT_EQ(Histogram(std::vector<double>{0, 1, 2, 3}),
            "--------------------\r\n< 1\t\t|*\r\n>=1\t\t|*\r\n>=2\t\t|**\r\n");
}

TEST(Histogram, NoValuesWriteTheHyphenLineOnly) {
  EXPECT_EQ(Histogram(std::vector<double>{}), "--------------------\r\n");
  EXPECT_EQ(Answer(HistogramReport, "x,y"), "--------------------\r\n");
}

}  // namespace
}  // namespace tallo
