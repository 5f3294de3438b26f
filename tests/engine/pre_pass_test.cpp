#include "engine/pre_pass.h"

#include <gtest/gtest.h>

#include <string>

namespace tallo {
namespace {

std::string Calculate(const std::string& text) { return ApplyInsertions(text, RunPrePass(text)); }

struct Case {
  const char* input;
  const char* output;
};

void ExpectCalculated(std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(Calculate(c.input), c.output) << c.input;
}

TEST(PrePass, AssignmentsAndSubstitution) {
  ExpectCalculated({
      {"x=5.5 y=2.3\r\nx*2+sqrt(y)=\r\n", "x=5.5 y=2.3\r\nx*2+sqrt(y)=12.5166\r\n"},
      {"x=5.5\r\nx=\r\n", "x=5.5\r\nx=5.5\r\n"},
      {"x=1.5e3\r\nx*2=\r\n", "x=1.5e3\r\nx*2=3\r\n"},  // the value token stops at "e"
      {"y=-2\r\ny*3=\r\n", "y=-2\r\ny*3=-6\r\n"},
      {"x=1\r\nx=2\r\nx=\r\n", "x=1\r\nx=2\r\nx=2\r\n"},  // a later assignment replaces
      {"x=\r\nx=4\r\n", "x=\r\nx=4\r\n"},                 // used before its assignment
      {"n=4\r\nn(3)=\r\n", "n=4\r\nn(3)=3\r\n"},          // 4(3) keeps (3)
      {"ab=2 ab*ab=\r\n", "ab=2 ab*ab=4\r\n"},
      {"a=3\r\nA=\r\n", "a=3\r\nA=\r\n"},                 // names are case-sensitive
      {"t=2.345\r\nt*2=\r\n", "t=2.345\r\nt*2=4.69\r\n"},  // a report line defines t
  });
}

TEST(PrePass, WhatIsNotAnAssignment) {
  ExpectCalculated({
      {"a=2 x=3 a*x=5\r\nx=\r\n", "a=2 x=3 a*x=5\r\nx=3\r\n"},  // after an operator
      {"x=5 y=1\r\nx = 5\r\n", "x=5 y=1\r\nx =5 5\r\n"},      // "x =" is an expression
      {"x y=3.1\r\ny=\r\n", "x y=3.1\r\ny=3.1\r\n"},          // an old answer, read again
      {"a1=5\r\na=\r\n", "a1=5\r\na=\r\n"},
  });
}

TEST(PrePass, ExpressionEnds) {
  ExpectCalculated({
      {"1+1= 2*3=\r\n", "1+1=2 2*3=6\r\n"},
      {"2*3=", "2*3=6"},                 // "=" at the very end of the text
      {"2*3=\t(note)\r\n", "2*3=6\t(note)\r\n"},
      {"total (2+3)= words\r\n", "total (2+3)=5 words\r\n"},
      {"a={1,2,3}\r\n", "a={1,2,3}\r\n"},
      {"mean(a)=\r\n", "mean(a)=\r\n"},
      {"= =\r\n", "= =\r\n"},
      {" \t=5+1=\r\n", " \t=5+1=6\r\n"},
      {"2+3=5\r\n", "2+3=5\r\n"},       // already answered
      {"x=5\r\nx*2+1=11\r\n", "x=5\r\nx*2+1=11\r\n"},
  });
}

TEST(PrePass, ExponentsInExpressions) {
  ExpectCalculated({
      {"2e3=\r\n", "2e3=\r\n"},
      {"1e6*10=\r\n", "1e6*10=\r\n"},
      {"2e+3=\r\n", "2e+3=2e+3\r\n"},
      {"5.50=\r\n", "5.50=5.50\r\n"},
      {"2e+3*1=\r\n", "2e+3*1=2000\r\n"},
      {"e*2=\r\n", "e*2=\r\n"},
      {"e=2\r\ne*2=\r\n", "e=2\r\ne*2=4\r\n"},
      {"e=2\r\n1.5e+3=\r\n", "e=2\r\n1.5e+3=1.5e+3\r\n"},  // "e" of an exponent stays
      {"1.5e+x=\r\n", "1.5e+x=\r\n"},
  });
}

TEST(PrePass, ExpressionsWithoutAnswer) {
  ExpectCalculated({
      {"1+=\r\n", "1+=\r\n"},
      {"sqrt(-4)=\r\n", "sqrt(-4)=\r\n"},
      {"1/0=\r\n", "1/0=\r\n"},
      {"loge(10)=\r\n", "loge(10)=\r\n"},
      {"pow(2,-1)=\r\n", "pow(2,-1)=\r\n"},
      {"q*2=\r\n", "q*2=\r\n"},
      {"5-+-3=\r\n", "5-+-3=\r\n"},  // a malformed operator run is no answer
  });
}

TEST(PrePass, StepBoundGivesNoPartialAnswer) {
  std::string sum = "1";
  for (int i = 1; i < 250; ++i) sum += "+1";
  EXPECT_EQ(Calculate(sum + "=\r\n"), sum + "=\r\n");
  EXPECT_EQ(Calculate(sum.substr(0, 2 * 150 - 1) + "=\r\n"), sum.substr(0, 299) + "=150\r\n");
}

TEST(PrePass, Utf8CharactersVanishWhole) {
  // "€" is three bytes; the expression reads 2*3.
  EXPECT_EQ(Calculate("2\xe2\x82\xac*3=\r\n"), "2\xe2\x82\xac*3=6\r\n");
  EXPECT_EQ(Calculate("pr\xc3\xa9t 2*3=\r\n"), "pr\xc3\xa9t 2*3=6\r\n");
}

TEST(PrePass, LineTokenLimit) {
  std::string filler;
  for (int i = 0; i < 4995; ++i) filler += "a ";  // 9990 tokens
  EXPECT_EQ(Calculate(filler + "1+1=\r\n"), filler + "1+1=2\r\n");
  filler += "a a ";  // 9994 tokens: "1+1" is the 9995th and takes the rest of the line
  EXPECT_EQ(Calculate(filler + "1+1=\r\n"), filler + "1+1=\r\n");
  EXPECT_EQ(Calculate(filler + "1+1=\r\n3*3=\r\n"), filler + "1+1=\r\n3*3=9\r\n");
}

TEST(PrePass, ManyVariables) {
  // 676 two-letter names aa..zz, each holding its own index.
  std::string text;
  for (int i = 0; i < 26 * 26; ++i) {
    text += {static_cast<char>('a' + i / 26), static_cast<char>('a' + i % 26), '='};
    text += std::to_string(i) + "\r\n";
  }
  // fs is 5 * 26 + 18 = 148; zz is 675.
  EXPECT_EQ(Calculate(text + "fs+zz=\r\n"), text + "fs+zz=823\r\n");
}

TEST(ExtractExpression, CutsTheTailThatIsAnExpression) {
  const Case cases[] = {
      {"x*2+sqrt(y)=", "x*2+sqrt(y)="},
      {"the total 2+3=", "2+3="},
      {"*2+3=", "2+3="},
      {"= 2*3=", "2*3="},
      {"4(3)=", "(3)="},
      {"2+()=", "="},
      {"1+=", "="},
      {"sqrt(=", "="},
      {"=", "="},
      {"2e3=", "="},
      {"2e+3=", "2e+3="},
      {"2)*3=", ""},  // nothing is kept after an unmatched ")"
      {"(2+3))*4=", ""},
      {"2+)=", "="},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractExpression(c.input), c.output) << c.input;
}

TEST(CheckExponentMarkers, OnlyExponentsMayHoldALoneE) {
  EXPECT_EQ(CheckExponentMarkers("2e+3="), "2e+3=");
  EXPECT_EQ(CheckExponentMarkers("1.5e-7*2="), "1.5e-7*2=");
  EXPECT_EQ(CheckExponentMarkers("2e3="), "");
  EXPECT_EQ(CheckExponentMarkers("e*2="), "");
  EXPECT_EQ(CheckExponentMarkers("1.5e+x="), "");
  EXPECT_EQ(CheckExponentMarkers("ee*2="), "");
  EXPECT_EQ(CheckExponentMarkers("exp(1)="), "exp(1)=");
  EXPECT_EQ(CheckExponentMarkers("2*e"), "");  // no two tokens after it
}

TEST(KeepTrailingNumber, LastNumericRun) {
  EXPECT_EQ(KeepTrailingNumber("12.5166"), "12.5166");
  EXPECT_EQ(KeepTrailingNumber("FALSE"), "");
  EXPECT_EQ(KeepTrailingNumber("inf"), "");
  EXPECT_EQ(KeepTrailingNumber("mean(a)"), "");
  EXPECT_EQ(KeepTrailingNumber("x3"), "3");
  EXPECT_EQ(KeepTrailingNumber("1.5e+010"), "1.5e+010");
  EXPECT_EQ(KeepTrailingNumber("e"), "");
}

}  // namespace
}  // namespace tallo
