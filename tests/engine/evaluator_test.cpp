#include "engine/evaluator.h"

#include <gtest/gtest.h>

namespace tallo {
namespace {

struct Case {
  const char* expression;
  const char* result;
};

void ExpectResults(std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(EvaluateUntilStable(c.expression), c.result) << c.expression;
}

TEST(Evaluator, PrecedenceAndAssociativity) {
  ExpectResults({
      {"5.5*2+sqrt(2.3)=", "12.5166"},
      {"2+3*4=", "14"},
      {"8/2/2=", "2"},
      {"3-2-1=", "0"},
      {"(2+3)*4=", "20"},
      {"2*(3+(4-1))=", "12"},
      {"((7))=", "7"},
      {"10-2*3+1=", "5"},
  });
}

TEST(Evaluator, Signs) {
  ExpectResults({
      {"-3*2=", "-6"},
      {"2*-3=", "-6"},
      {"2/+4=", "0.5"},
      {"2--3=", "5"},
      {"2+-3=", "-1"},
      {"2-(-3)=", "5"},
      {"-(3)+1=", "-2"},
      {"- 3 * 2=", "-6"},
  });
}

TEST(Evaluator, EveryIntermediateResultIsSixDigitText) {
  ExpectResults({
      {"1/3*3=", "0.999999"},
      {"1000000*3=", "3e+006"},
      {"1e+6=", "1e+6"},        // a lone number is never rewritten
      {"5.50=", "5.50"},
      {"2e+3*1=", "2000"},
      {"1.5e+10*2=", "3e+010"},
      {"0.1+0.2=", "0.3"},
  });
}

TEST(Evaluator, Functions) {
  ExpectResults({
      {"pow(2,3)=", "8"},
      {"pow(-2,2)=", "4"},
      {"n(5)=", "120"},
      {"n(0)=", "1"},
      {"n(-3)=", "1"},
      {"nPr(5,2)=", "20"},
      {"nCr(5,2)=", "10"},
      {"nHr(3,2)=", "6"},
      {"nCr(5.9,2)=", "10"},  // whole-number arguments are truncated
      {"probt(2.228,10)=", "0.0500118"},
      {"probt(2,1)=", "0.295167"},
      {"probt(0,10)=", "1"},
      {"sqrt(0)=", "0"},
      {"log(10)=", "2.30259"},
      {"logd(100)=", "2"},
      {"abs(-2.5)=", "2.5"},
      {"exp(1)=", "2.71828"},
      {"sin(0)+cos(0)=", "1"},
      {"atan(1)*4=", "3.14159"},
      {"asin(1)=", "1.5708"},
      {"acos(1)=", "0"},
      {"tan(0.5)=", "0.546302"},  // R: tan(0.5) = 0.5463025
      {"sqrt(pow(3,2)+pow(4,2))=", "5"},
  });
}

TEST(Evaluator, FailuresGiveFalse) {
  ExpectResults({
      {"", "FALSE"},
      {"=", "FALSE"},
      {"sqrt(-4)=", "FALSE"},
      {"log(-1)=", "FALSE"},
      {"pow(2,-1)=", "FALSE"},  // the "-" after "," has no left operand
      {"x+1=", "FALSE"},
      {"2*=", "2*"},             // an operator at the group's end is never performed
      {"sqrt(x)=", "FALSE"},
  });
}

TEST(Evaluator, UnreducibleTextsStay) {
  ExpectResults({
      {"loge(10)=", "loge(10)"},
      {"1/0=", "inf"},
      {"log(0)=", "-inf"},
      {"asin(2)=", "nan"},
      {"n(171)=", "inf"},
      {"5-+-3=", "5-+-3"},
  });
}

TEST(Evaluator, StepBound) {
  // 250 terms need 249 additions; the bound stops after 200 of them.
  std::string sum = "1";
  for (int i = 1; i < 250; ++i) sum += "+1";
  std::string expected = "201";
  for (int i = 201; i < 250; ++i) expected += "+1";
  EXPECT_EQ(EvaluateUntilStable(sum + "="), expected);
}

TEST(IsNumberText, PlainNumbers) {
  for (const char* yes : {"5", "-5", "+.5", "1.5e+10", "2e-3", "1.2.3", "--", "-", "5."}) {
    EXPECT_TRUE(IsNumberText(yes)) << yes;
  }
  for (const char* no : {"", "e", "e+3", "2e3", "2e", "2e+", "1e+3e+3", "x", "2*", "inf", "(2"}) {
    EXPECT_FALSE(IsNumberText(no)) << no;
  }
}

}  // namespace
}  // namespace tallo
