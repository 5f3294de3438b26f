#include "engine/statement_driver.h"

#include <gtest/gtest.h>

#include <string>

namespace tallo {
namespace {

std::string Drive(const std::string& text) { return ApplyInsertions(text, RunStatementDriver(text)); }

struct Case {
  const char* input;
  const char* output;
};

void ExpectDriven(std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(Drive(c.input), c.output) << c.input;
}

TEST(StatementDriver, StatementsAfterTheirDataSets) {
  ExpectDriven({
      {"a={1,2,3}\r\nmean(a)=\r\n", "a={1,2,3}\r\nmean(a)=2\r\n"},
      {"mean(a)=\r\na={1,2,3}\r\n", "mean(a)=\r\na={1,2,3}\r\n"},
      {"a={1,2,3}\r\nmean(a)=", "a={1,2,3}\r\nmean(a)=2"},  // "=" ends the text
      {"a={1,2,3}\r\nmean(a)= x\r\n", "a={1,2,3}\r\nmean(a)=2 x\r\n"},
      {"a={1,2,3}\r\nmean(a)=\tx\r\n", "a={1,2,3}\r\nmean(a)=2\tx\r\n"},
      {"a={1,2}\r\na={5,6}\r\nmean(a)=\r\n", "a={1,2}\r\na={5,6}\r\nmean(a)=1.5\r\n"},
      {"a={\r\n1\r\n2\r\n}\r\nsum(a)=\r\n", "a={\r\n1\r\n2\r\n}\r\nsum(a)=3\r\n"},
  });
}

TEST(StatementDriver, WhatIsNotAStatement) {
  ExpectDriven({
      {"a={1,2,3}\r\nmean(a)=2\r\n", "a={1,2,3}\r\nmean(a)=2\r\n"},  // already answered
      {"a={1,2,3}\r\nmean (a)=\r\n", "a={1,2,3}\r\nmean (a)=\r\n"},
      {"a={1,2,3}\r\nmean( a )=\r\n", "a={1,2,3}\r\nmean( a )=\r\n"},
      {"a={1,2,3}\r\nMean(a)=\r\n", "a={1,2,3}\r\nMean(a)=\r\n"},
      {"a={1,2,3}\r\nmean(A)=\r\n", "a={1,2,3}\r\nmean(A)=\r\n"},
      {"a={1,2,3}\r\nmean(a,a)=\r\n", "a={1,2,3}\r\nmean(a,a)=\r\n"},
      {"a={1,2,3}\r\nxmean(a)=\r\n", "a={1,2,3}\r\nxmean(a)=\r\n"},
      {"a={1,2,3}\r\nmean(a)==\r\n", "a={1,2,3}\r\nmean(a)==\r\n"},
      {"a={1,2,3}\r\nmean((a))=\r\n", "a={1,2,3}\r\nmean((a))=\r\n"},
      {"a={1,2,3}\r\nfrobnicate(a)=\r\n", "a={1,2,3}\r\nfrobnicate(a)=\r\n"},
      {"a={1,2,3}\r\nmean(b)=\r\n", "a={1,2,3}\r\nmean(b)=\r\n"},
  });
}

TEST(StatementDriver, WhatIsNotADefinition) {
  ExpectDriven({
      {"a = {1,2}\r\nmean(a)=\r\n", "a = {1,2}\r\nmean(a)=\r\n"},
      {"a1={1,2}\r\nmean(a)=\r\n", "a1={1,2}\r\nmean(a)=\r\n"},
      {"e={1,2}\r\nmean(e)=\r\n", "e={1,2}\r\nmean(e)=1.5\r\n"},
      {"A={1}\r\na={2}\r\nmean(A)= mean(a)=\r\n", "A={1}\r\na={2}\r\nmean(A)=1 mean(a)=2\r\n"},
      {"a={1,2,3\r\nmean(a)=\r\n", "a={1,2,3\r\nmean(a)=\r\n"},  // never closed
  });
}

TEST(StatementDriver, EmptyBracesDefineNothing) {
  ExpectDriven({
      {"a={}\r\nmean(a)=\r\n", "a={}\r\nmean(a)=\r\n"},
      {"a={}\r\nb={4}\r\nmean(b)=\r\n", "a={}\r\nb={4}\r\nmean(b)=4\r\n"},
  });
}

TEST(StatementDriver, DataTextLeavesOutLoneEqualsAndBrace) {
  // "x=1" holds the tokens x, =, 1, so the data text is "2,x1": two items, both numeric by
  // their last character, worth 2 and 0.
  ExpectDriven({
      {"a={2,x=1}\r\ncount(a)=\r\n", "a={2,x=1}\r\ncount(a)=2\r\n"},
      {"a={2,x=1}\r\nsum(a)=\r\n", "a={2,x=1}\r\nsum(a)=2\r\n"},
      {"a={2, 3}\r\nsum(a)=\r\n", "a={2, 3}\r\nsum(a)=5\r\n"},
  });
}

TEST(StatementDriver, ManyDefinitionsOfOneName) {
  std::string text;
  for (int i = 1; i <= 300; ++i) text += "v={" + std::to_string(i) + "}\r\n";
  text += "max(v)=\r\n";
  EXPECT_EQ(Drive(text), text.substr(0, text.size() - 2) + "1\r\n");  // the earliest one
}

TEST(StatementDriver, ManyDataSets) {
  std::string text;
  for (int i = 0; i < 2000; ++i) {
    const std::string name = {static_cast<char>('a' + i % 26), static_cast<char>('a' + i / 26 % 26),
                              static_cast<char>('a' + i / 676)};
    text += name + "={" + std::to_string(i) + ",1}\r\nsum(" + name + ")=\r\n";
  }
  const std::string driven = Drive(text);
  EXPECT_NE(driven.find("sum(aaa)=1\r\n"), std::string::npos);
  EXPECT_NE(driven.find("sum(xyc)=2000\r\n"), std::string::npos);  // i = 23 + 24*26 + 2*676
}

// A table whose one statement of each arity echoes its data texts, to see which
// definitions a statement runs with.
std::string Echo(DataTexts data) {
  std::string report = "[";
  for (std::string_view text : data) report += std::string(text) + ";";
  return report + "]";
}

const Statement kEchoStatements[] = {{"one", 1, Echo}, {"two", 2, Echo}, {"three", 3, Echo}};

std::string DriveEcho(const std::string& text) {
  return ApplyInsertions(text, RunStatementDriver(text, kEchoStatements));
}

TEST(StatementDriver, ArgumentsAndTheirDefinitions) {
  EXPECT_EQ(DriveEcho("a={1}\r\na={2}\r\none(a)=\r\n"), "a={1}\r\na={2}\r\none(a)=[1;]\r\n");
  // Every definition of the second argument, with the earliest of the first.
  EXPECT_EQ(DriveEcho("a={1}\r\na={2}\r\nb={3}\r\nb={4}\r\ntwo(a,b)=\r\n"),
            "a={1}\r\na={2}\r\nb={3}\r\nb={4}\r\ntwo(a,b)=[1;3;][1;4;]\r\n");
  // For every third, every second.
  EXPECT_EQ(DriveEcho("a={1}\r\nb={2}\r\nb={3}\r\nd={4}\r\nd={5}\r\nthree(a,b,d)=\r\n"),
            "a={1}\r\nb={2}\r\nb={3}\r\nd={4}\r\nd={5}\r\n"
            "three(a,b,d)=[1;2;4;][1;3;4;][1;2;5;][1;3;5;]\r\n");
  // A missing argument runs nothing; so does a wrong number of arguments.
  EXPECT_EQ(DriveEcho("a={1}\r\ntwo(a,b)=\r\ntwo(b,a)=\r\none(a,a)=\r\n"),
            "a={1}\r\ntwo(a,b)=\r\ntwo(b,a)=\r\none(a,a)=\r\n");
  EXPECT_EQ(DriveEcho("a={1}\r\nthree(a,a,a)=\r\n"), "a={1}\r\nthree(a,a,a)=[1;1;1;]\r\n");
}

TEST(StatementDriver, DataTextIsTheRawTextBetweenTheBraces) {
  EXPECT_EQ(DriveEcho("t={\tA\tB\r\nr 1\t1,5\t=x\r\n}\r\none(t)=\r\n"),
            "t={\tA\tB\r\nr 1\t1,5\t=x\r\n}\r\none(t)=[\tA\tB\r\nr 1\t1,5\tx\r\n;]\r\n");
  // A definition spans lines and text before it on its line does not matter.
  EXPECT_EQ(DriveEcho("data: a={1,\r\n2} done one(a)=\r\n"),
            "data: a={1,\r\n2} done one(a)=[1,\r\n2;]\r\n");
  // A statement inside braces sees only definitions completed before it.
  EXPECT_EQ(DriveEcho("a={1}\r\nb={one(a)= 2}\r\n"), "a={1}\r\nb={one(a)=[1;] 2}\r\n");
}

}  // namespace
}  // namespace tallo
