// Properties of the entry point over many generated worksheets: the output is the input
// plus the insertions, LF and CR LF texts calculate alike, and a second calculation
// inserts nothing; each data set is read once however many statements use it.

#include "engine/calculate.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "fuzz/calculation_invariant.h"
#include "support/files.h"

namespace tallo {
namespace {

// Worksheets made of the pieces users write, and of some they should not.
class WorksheetGenerator {
 public:
  explicit WorksheetGenerator(unsigned seed) : random_(seed) {}

  std::string Worksheet() {
    std::string text;
    const int lines = Pick(1, 40);
    for (int i = 0; i < lines; ++i) text += Line() + "\n";
    if (Pick(0, 3) == 0) text.pop_back();  // no final line end
    return text;
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  template <typename T>
  const T& OneOf(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Pick(0, static_cast<int>(items.size()) - 1))];
  }

  // The pieces in order: the elements of a braced list are evaluated left to right, so the
  // worksheets are the same whatever the compiler (the operands of + are not).
  static std::string Join(std::initializer_list<std::string> pieces) {
    std::string joined;
    for (const std::string& piece : pieces) joined += piece;
    return joined;
  }

  // No variable is named e: an answer written before a blank and an "e" reads, on the next
  // calculation, as a number with an exponent ("2.5= e+1=" becomes "2.5=2.5 e+1=", and
  // 2.5 e+1 is 25), so such a line is answered anew; that retry is the rules' own.
  std::string Name() { return OneOf<std::string>({"a", "b", "x", "y", "n", "data", "A"}); }

  std::string Number() {
    return OneOf<std::string>({"1", "2.5", "-3", "0", "1e+3", "7.25", "100", "0.001", "12abc3"});
  }

  std::string Expression() {
    std::string expression = OneOf<std::string>({Number(), Name(), Join({"sqrt(", Number(), ")"})});
    for (int i = Pick(0, 3); i > 0; --i) {
      expression += OneOf<std::string>({"+", "-", "*", "/"});
      expression += OneOf<std::string>({Number(), Name(), Join({"(", Number(), "+", Name(), ")"}),
                                        Join({"pow(", Number(), ",2)"}), "n(4)"});
    }
    return expression;
  }

  std::string List() {
    std::string list;
    const std::string separator = OneOf<std::string>({",", "\t", "\n", ", "});
    for (int i = Pick(0, 12); i > 0; --i) list += Number() + separator;
    return list;
  }

  std::string Table() {
    std::string table = "\tC1\tC2\n";
    for (int r = Pick(0, 5); r > 0; --r) table += Join({"R\t", Number(), "\t", Number(), "\n"});
    return table;
  }

  std::string Line() {
    switch (Pick(0, 9)) {
      case 0: return Join({Name(), "=", Number(), " ", Name(), "=", Number()});
      case 1: return Expression() + "=";
      case 2: return Join({Expression(), "= ", Expression(), "="});
      case 3: return Join({Name(), "={", List(), "}"});
      case 4: return Join({Name(), "={", Table(), "}"});
      case 5:
        return Join({OneOf<std::string>({"mean", "sum", "max", "min", "sd", "se", "count",
                                         "histogram"}),
                     "(", Name(), ")=", OneOf<std::string>({"", " note", "\tx"})});
      case 6: return "Some prose, with (brackets) and words: caf\xc3\xa9 = {x} here.";
      case 7: return OneOf<std::string>({"=", "==", "a==b", "{", "}", "(=)", ")=", "{}", "1+="});
      case 8: return Join({Name(), "(", Name(), ",", Name(), ")="});
      default: return std::string();
    }
  }

  std::mt19937 random_;
};

using testing_support::WithCrLf;

TEST(CalculateWorksheet, OutputIsTheInputPlusInsertions) {
  WorksheetGenerator generator(20261206);
  for (int i = 0; i < 1500; ++i) {
    const std::string input = generator.Worksheet();
    ASSERT_EQ(fuzzing::CheckCalculation(input), "") << input;
  }
}

TEST(CalculateWorksheet, LfAndCrLfCalculateAlike) {
  WorksheetGenerator generator(7);
  for (int i = 0; i < 1500; ++i) {
    const std::string lf = generator.Worksheet();
    const std::string from_lf = CalculateWorksheet(lf).text;
    ASSERT_EQ(from_lf.find('\r'), std::string::npos) << lf;
    ASSERT_EQ(WithCrLf(from_lf), CalculateWorksheet(WithCrLf(lf)).text) << lf;
  }
}

TEST(CalculateWorksheet, SecondCalculationInsertsNothing) {
  WorksheetGenerator generator(42);
  for (int i = 0; i < 1500; ++i) {
    const std::string once = CalculateWorksheet(generator.Worksheet()).text;
    ASSERT_EQ(fuzzing::SecondCalculationGains(once), "") << once;
  }
}

// Reasons come only when asked for, and asking changes nothing else: here the power and the
// misspelt data set get one each, 1+1 its answer.
TEST(CalculateWorksheet, ReasonsOnlyWhenAskedFor) {
  const std::string sheet = "data={4,8,6}\n2^10=\nmean(dta)=\n1+1=\n";
  const Calculation plain = CalculateWorksheet(sheet);
  const Calculation explained = CalculateWorksheet(sheet, {.reasons = true});
  EXPECT_TRUE(plain.reasons.empty());
  EXPECT_EQ(explained.reasons.size(), 2u);
  EXPECT_EQ(plain.text, explained.text);
  EXPECT_EQ(plain.text, "data={4,8,6}\n2^10=\nmean(dta)=\n1+1=2\n");
  // Columns on the first line count from 1 as on every other line.
  const Calculation first_line = CalculateWorksheet("x: sqrt(-4)=\n", {.reasons = true});
  ASSERT_EQ(first_line.reasons.size(), 1u);
  EXPECT_EQ(first_line.reasons[0].line, 1u);
  EXPECT_EQ(first_line.reasons[0].column, 12u);
  // Two pairs are enough for a paired t test and a rank correlation, one value for a
  // mean, a maximum, a sign test and a rank-sum group, two values for a Smirnov test, none for
  // a sum, and two tables and a time for Kaplan-Meier; one value is too few for a t test.
  const Calculation short_sample = CalculateWorksheet(
      "one={5}\nb={1,2}\nc={3,7}\nttest(one,b)=\npttest(b,c)=\nkdtest(b,c)=\nmax(one)=\n"
      "smirnov(b)=\nnone={x}\nsum(none)=\nmean(one)=\nsigntest(one)=\n"
      "mwtest(one,b)=\nf={\tweeks\tcensored\ns\t3\t0\nt\t5\t1\n}\n"
      "g={\tweeks\tcensored\nu\t4\t0\nv\t6\t0\n}\nd={4}\nkapmrtest(f,g,d)=\n",
      {.reasons = true});
  ASSERT_EQ(short_sample.reasons.size(), 1u);
  EXPECT_EQ(short_sample.reasons[0].message,
            "one has 1 value; ttest needs at least 2 values in each data set");
  // A table of labels without rows has too few values; a list on one line is no table.
  const Calculation tables = CalculateWorksheet(
      "heads={\tx\ty\n}\nanovaow(heads)=\nrow={1,2,3}\nmra(row)=\n", {.reasons = true});
  ASSERT_EQ(tables.reasons.size(), 2u);
  EXPECT_EQ(tables.reasons[0].kind, ReasonKind::TooFewValues);
  EXPECT_EQ(tables.reasons[1].kind, ReasonKind::ListForTable);
}

// Every statement on a definition shares one reading of it, and a definition again under
// the same name is read for itself: here a's list twice, t's table once. Without room for
// readings, the first a and t are read again whenever a statement comes back to them (the
// ttest runs on both a after pca).
TEST(CalculateWorksheet, EachDefinitionIsReadOnce) {
  const std::string worksheet =
      "a={1,2,3}\nmean(a)= sd(a)= se(a)=\nt={\tx\ty\nr\t1\t2\ns\t3\t5\nu\t4\t4\n}\n"
      "vcmtrx(t)=\neigenvv(t)=\nsum(a)=\npca(t)=\na={4,5}\nttest(a,a)=\n";
  CalculationCounts counts;
  const std::string text = CalculateWorksheet(worksheet, {.counts = &counts}).text;
  EXPECT_EQ(counts.statements, 8u);
  EXPECT_EQ(counts.data_sets, 3u);
  EXPECT_EQ(counts.data_set_readings, 3u);
  CalculationCounts rereading;
  EXPECT_EQ(CalculateWorksheet(worksheet, {.counts = &rereading, .reading_budget = 0}).text, text);
  EXPECT_EQ(rereading.data_set_readings, 6u);
}

// A calculation's insertions view its own text, also when it is copied or moved, and also a
// short text that lives inside the object.
TEST(Calculation, InsertionsViewTheirOwnText) {
  const auto views_own_text = [](const Calculation& calculation) {
    const std::string_view text = calculation.text;
    for (const Insertion& insertion : calculation.insertions) {
      if (insertion.text.data() < text.data() ||
          insertion.text.data() + insertion.text.size() > text.data() + text.size()) {
        return false;
      }
    }
    return !calculation.insertions.empty();
  };
  for (const std::string input : {"1+1=", "x=12.5\ny=x*2=\nx*3=\nz=7 y/x+z*2="}) {
    const Calculation original = CalculateWorksheet(input);
    const Calculation copy(original);
    Calculation assigned;
    assigned = original;
    Calculation moved_from(original);
    const Calculation moved(std::move(moved_from));
    Calculation move_assigned;
    move_assigned = Calculation(original);
    for (const Calculation* calculation :
         std::array<const Calculation*, 4>{&copy, &assigned, &moved, &move_assigned}) {
      EXPECT_TRUE(views_own_text(*calculation)) << input;
      EXPECT_EQ(calculation->text, original.text);
      ASSERT_EQ(calculation->insertions.size(), original.insertions.size());
      for (std::size_t k = 0; k < original.insertions.size(); ++k) {
        EXPECT_EQ(calculation->insertions[k].text, original.insertions[k].text);
      }
    }
  }
}

// The one-pass reading evaluates up to 150 operations and leaves longer expressions to the
// reducer, which answers them alike.
TEST(CalculateWorksheet, LongSumsTakeOnePassUpToTheirBound) {
  const auto ones = [](int count) {
    std::string sum = "1";
    for (int k = 1; k < count; ++k) sum += "+1";
    return sum + "=";
  };
  CalculationCounts counts;
  const std::string input = ones(151) + "\n" + ones(152) + "\n";
  EXPECT_EQ(CalculateWorksheet(input, {.counts = &counts}).text,
            ones(151) + "151\n" + ones(152) + "152\n");
  EXPECT_EQ(counts.answers, 2u);
  EXPECT_EQ(counts.one_pass_answers, 1u);
}

}  // namespace
}  // namespace tallo
