// The quick paths must read expressions exactly as the full ones do wherever they read them
// at all: the direct evaluator answers as the reducer does, and the one-pass reading of a
// line answers as the full extraction does. Random expressions, in the forms people write
// and in odd ones, go through both. Worked examples are in evaluator.tsv and the worksheets.

#include "engine/direct_evaluator.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/calculation_counts.h"
#include "engine/pre_pass.h"
#include "text/char_classes.h"

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

// A worksheet line as people write them around an expression: variables in place of some
// numbers, blanks between the characters, now and then prose, an exponent, a stray name, a
// second expression after the first.
std::string ScatteredLine(ExpressionGenerator& generator, std::mt19937& random) {
  const auto pick = [&](int high) { return std::uniform_int_distribution<int>(0, high)(random); };
  std::string line = pick(3) == 0 ? " = " : "";
  if (pick(10) == 0) line += "Total:";
  for (int expressions = pick(1); expressions >= 0; --expressions) {
    for (char c : generator.Expression()) {
      if (pick(9) == 0) line += ' ';
      if ((IsDigit(c) || c == '.') && pick(4) == 0) {
        line += std::string(1, "xyzkwe"[pick(5)]);
        continue;
      }
      line += c;
      if (pick(60) == 0) line += std::string(1, "e: x\t)(*"[pick(8)]);
    }
    line += pick(4) == 0 ? " = " : "=";
  }
  return line + "\n";
}

// The one-pass reading answers every expression it reads as the full extraction does.
TEST(PrePass, OnePassReadingAnswersAsTheFullExtraction) {
  ExpressionGenerator generator(20261207);
  std::mt19937 random(7);
  const std::vector<std::string> assignments = {
      "x=13.5 y=4 k=9 w=0.5 e=2\n", "x=-2 y=5-3 k=.5 z=1.2.3\n", "x=7 y=-0.25 z=1e+3 k=+4\n"};
  std::string worksheet;
  for (int line = 0; line < 20000; ++line) {
    if (line % 50 == 0) worksheet += assignments[random() % assignments.size()];
    worksheet += ScatteredLine(generator, random);
  }
  const auto answers = [&](bool one_pass, CalculationCounts& counts) {
    std::string found;
    RunPrePass(
        worksheet,
        [&](std::size_t offset, std::string_view answer) {
          found += std::to_string(offset) + ":" + std::string(answer) + "\n";
        },
        nullptr, &counts, one_pass);
    return found;
  };
  CalculationCounts one_pass;
  CalculationCounts full;
  ASSERT_EQ(answers(true, one_pass), answers(false, full));
  EXPECT_EQ(full.one_pass_answers, 0u);
  // A good share of the answered expressions are read in one pass (the odd ones are not).
  EXPECT_GT(one_pass.one_pass_answers, one_pass.answers / 8);
}

}  // namespace
}  // namespace tallo
