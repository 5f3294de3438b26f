// The quick paths must read expressions exactly as the full ones do wherever they read them
// at all: the direct evaluator answers as the reducer does, and the one-pass reading of an
// expression keeps what the extraction keeps. Random expressions, in the forms people write
// and in odd ones, go through both. Worked examples are in evaluator.tsv and the worksheets.

#include "engine/direct_evaluator.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/extraction.h"
#include "engine/plain_expression.h"
#include "engine/pre_pass.h"

namespace tallo {
namespace {

class ExpressionGenerator {
 public:
  explicit ExpressionGenerator(unsigned seed) : random_(seed) {}

  std::string Expression(int depth = 0) {
    std::string text = Operand(depth, Pick(0, 5) == 0);
    for (int terms = Pick(0, 4); terms > 0; --terms) {
      text += OneOf({"+", "-", "*", "/", "*", "/", "+-", "--", "*-", "/-", "-+", "*+", "++"});
      text += Operand(depth, false);
    }
    return text;
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::string OneOf(std::initializer_list<const char*> choices) {
    return *(choices.begin() + Pick(0, static_cast<int>(choices.size()) - 1));
  }

  std::string Number() {
    switch (Pick(0, 9)) {
      case 0: return OneOf({"0", "1", "2", "10", "100", "999999", "1000000", "007"});
      case 1: return OneOf({"0.5", ".5", "5.", "3.14159", "2.718281828", "0.0001", "0.00001"});
      case 2: return OneOf({"1e+3", "2.5e-4", "1e+300", "1e-300", "7e+0", "1.5e+10"});
      case 3: return OneOf({"1.2.3", "2e3", "1e+", ".", "1e+3.5"});  // odd ones
      default: return std::to_string(Pick(0, 2000)) + (Pick(0, 1) ? "." + std::to_string(Pick(0, 999)) : "");
    }
  }

  std::string Operand(int depth, bool signed_number) {
    const int kind = depth > 3 ? 0 : Pick(0, 9);
    std::string sign = signed_number ? OneOf({"-", "+"}) : "";
    if (kind <= 4) return sign + Number();
    if (kind <= 6) return sign + "(" + Expression(depth + 1) + ")";
    const std::string name = OneOf({"sqrt(", "log(", "logd(", "abs(", "exp(", "sin(", "cos(", "tan(",
                                    "asin(", "acos(", "atan(", "n(", "pow(", "probt(", "nPr(",
                                    "nCr(", "nHr(", "ln(", "pow("});
    const bool two = name == "pow(" || name == "probt(" || (name[0] == 'n' && name.size() == 4);
    std::string call = sign + name + (Pick(0, 3) == 0 ? "-" : "") + Expression(depth + 1);
    if (two || Pick(0, 9) == 0) call += "," + (Pick(0, 2) == 0 ? Expression(depth + 1) : Number());
    return call + ")";
  }

  std::mt19937 random_;
};

TEST(DirectEvaluator, AnswersAsTheReducerDoes) {
  ExpressionGenerator generator(20261206);
  int answered = 0;
  const int total = 100000;
  for (int i = 0; i < total; ++i) {
    const std::string expression = generator.Expression() + "=";
    const std::optional<std::string> direct = EvaluateDirectly(expression);
    if (!direct) continue;
    ++answered;
    ASSERT_EQ(*direct, ReducerAnswer(expression)) << expression;
  }
  // Most of these expressions are plain arithmetic.
  EXPECT_GT(answered, total / 10);
}

// The text in front of an "=" as substitution and the worksheet leave it: blanks between
// the characters of an expression, an "=" before it, now and then prose, an exponent or a
// stray name in it.
std::string Scatter(const std::string& expression, std::mt19937& random) {
  const auto pick = [&](int high) { return std::uniform_int_distribution<int>(0, high)(random); };
  std::string text = pick(2) == 0 ? " = " : pick(3) == 0 ? "=" : "";
  for (char c : expression) {
    if (pick(9) == 0) text += ' ';
    text += c;
    if (pick(60) == 0) text += std::string(1, "e: x\t)(*"[pick(8)]);
  }
  if (pick(10) == 0) text.insert(0, "Total:");
  return text;
}

TEST(PlainExpression, KeepsWhatTheExtractionKeeps) {
  ExpressionGenerator generator(20261207);
  std::mt19937 random(7);
  int read = 0;
  const int total = 100000;
  std::string plain;
  for (int i = 0; i < total; ++i) {
    const std::string text = Scatter(generator.Expression(), random);
    PlainExpression expression(plain);
    if (!expression.Add(text) || !expression.Finish()) continue;
    ++read;
    std::string storage;
    ExpressionTail tail = ExtractTail(text + "=", storage);
    ASSERT_FALSE(tail.continues_front) << text;
    ASSERT_EQ(plain, CheckExponentMarkers(std::move(tail.expression))) << text;
  }
  EXPECT_GT(read, total / 20);
}

}  // namespace
}  // namespace tallo
