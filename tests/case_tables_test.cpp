// Case tables: every tests/LAYER/NAME.tsv holds lines "function<TAB>argument...<TAB>expected",
// run through the function of that name below and compared with the expected text. Lines
// starting with "#" say where the expected values come from. In a field, \t \r \n \\ and
// \xHH stand for the characters. An expected "~T a b ..." compares numbers: the result's
// space-separated numbers must lie within T of a, b, ... (nan matches nan).
//
// Arguments are read with std::from_chars, never with the number text under test; lists
// are written "1,2,3", and numbers come back as the shortest text that reads back exactly.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "cli/options.h"
#include "engine/calculate.h"
#include "engine/direct_evaluator.h"
#include "engine/evaluator.h"
#include "engine/extraction.h"
#include "engine/line_ends.h"
#include "engine/nearest_name.h"
#include "engine/pre_pass.h"
#include "engine/statement_driver.h"
#include "numeric/critical_values.h"
#include "numeric/distributions.h"
#include "numeric/duncan_range.h"
#include "numeric/p_values.h"
#include "numeric/rank_distributions.h"
#include "numeric/rank_tables.h"
#include "numeric/ranking.h"
#include "numeric/summary.h"
#include "procedures/design_report.h"
#include "procedures/outliers.h"
#include "procedures/report_options.h"
#include "procedures/survival.h"
#include "procedures/two_sample.h"
#include "support/files.h"
#include "text/char_classes.h"
#include "text/data_readers.h"
#include "text/number_text.h"

namespace tallo {
namespace {

namespace fs = std::filesystem;
using Fields = std::vector<std::string>;

double Real(const std::string& field) {
  double value = 0;
  const char* begin = field.data() + (field.starts_with('+') ? 1 : 0);
  const auto [end, error] = std::from_chars(begin, field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size())
    ADD_FAILURE() << "not a number: " << field;
  return value;
}

int Int(const std::string& field) { return static_cast<int>(Real(field)); }

std::vector<double> List(const std::string& field) {
  std::vector<double> values;
  std::stringstream items(field);
  for (std::string item; std::getline(items, item, ',');) values.push_back(Real(item));
  return values;
}

std::string Shortest(double value) {
  if (std::isnan(value)) return "nan";
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

template <typename Numbers>
std::string Join(const Numbers& values, std::string_view separator = " ") {
  std::string text;
  for (const auto& value : values)
    text += (text.empty() ? "" : std::string(separator)) + Shortest(value);
  return text;
}

std::string Optional(const std::optional<double>& value) {
  return value ? Shortest(*value) : "none";
}

std::string Bool(bool value) { return value ? "true" : "false"; }

// The echo statements of the driver's cases: each report shows the data texts it was given.
std::string Echo(DataSets data) {
  std::string report = "[";
  for (const DataSet* data_set : data) report += std::string(data_set->text()) + ";";
  return report + "]";
}
const Statement kEchoStatements[] = {
    {"one", 1, WithoutOptions<Echo>},
    {"two", 2, WithoutOptions<Echo>},
    {"three", 3, WithoutOptions<Echo>}};

// A table as its rows, cells joined by "|" up to the data columns, then the row count and the
// data columns.
std::string Grid(const CellGrid& grid) {
  std::string text;
  for (std::size_t row = 0; row < grid.rows(); ++row) {
    for (std::size_t column = 0; column <= grid.data_columns(); ++column) {
      text += (column > 0 ? "|" : "") + std::string(grid.cell(row, column));
    }
    text += " / ";
  }
  return text + std::to_string(grid.rows()) + " " + std::to_string(grid.data_columns());
}

// The first count of the labels a, b, c, ... on a line headed F.
std::vector<std::string_view> Labels(const std::string& count) {
  static const std::string_view kNames[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"};
  return {kNames, kNames + Int(count)};
}

ValuePairs Pairs(const std::string& x, const std::string& y) { return {List(x), List(y)}; }

// Format's arguments carry their type: i7 a whole number, r1.5 a real one, stext a text.
std::string FormatTyped(const Fields& f) {
  std::vector<FormatArg> args;
  for (std::size_t i = 1; i < f.size(); ++i) {
    const std::string value = f[i].substr(1);
    if (f[i][0] == 'i') args.emplace_back(static_cast<long long>(Real(value)));
    if (f[i][0] == 'r') args.emplace_back(Real(value));
    if (f[i][0] == 's') args.emplace_back(std::string_view(f[i]).substr(1));
  }
  std::string out;
  switch (args.size()) {
    case 0:
      AppendFormat(out, f[0]);
      break;
    case 1:
      AppendFormat(out, f[0], args[0]);
      break;
    case 2:
      AppendFormat(out, f[0], args[0], args[1]);
      break;
    default:
      AppendFormat(out, f[0], args[0], args[1], args[2]);
      break;
  }
  return out;
}

std::string Options(const Fields& f) {
  const cli::ParsedOptions parsed = cli::ParseOptions(f);
  if (!parsed.ok) return "rejected";
  constexpr const char* kModes[] = {"output",    "in place", "help", "version",
                                    "functions", "explain",  "check"};
  std::string text = kModes[static_cast<int>(parsed.options.mode)];
  if (parsed.options.p_values) text += " with p-values";
  for (const std::string& file : parsed.options.files) text += " " + file;
  return text;
}

template <typename Classify>
std::string Classes(const std::string& characters, Classify classify) {
  std::string text;
  for (char c : characters)
    text += (text.empty() ? "" : " ") + std::to_string(static_cast<int>(classify(c)));
  return text;
}

struct Function {
  int arguments;  // -1: any number
  std::function<std::string(const Fields&)> run;
};

const std::map<std::string, Function, std::less<>>& Functions() {
  static const SignificanceLabels kF = {"n.s", {"P<0.05 ", "P<0.025", "P<0.01 ", "P<0.005"}};
  static const std::map<std::string, Function, std::less<>> functions = {
      // text
      {"FormatGeneral", {1, [](const Fields& f) { return FormatGeneral(Real(f[0])); }}},
      {"FormatFixed", {2, [](const Fields& f) { return FormatFixed(Real(f[0]), Int(f[1])); }}},
      {"FormatScientific",
       {2, [](const Fields& f) { return FormatScientific(Real(f[0]), Int(f[1])); }}},
      {"FormatInteger", {1, [](const Fields& f) { return FormatInteger(std::stoll(f[0])); }}},
      {"Format", {-1, FormatTyped}},
      {"RoundToGeneral", {1, [](const Fields& f) { return Shortest(RoundToGeneral(Real(f[0]))); }}},
      {"ParseReal", {1, [](const Fields& f) { return Shortest(ParseReal(f[0])); }}},
      {"ParseRealOfPrefix",
       {2,
        [](const Fields& f) {
          return Shortest(ParseReal(std::string_view(f[0]).substr(0, Int(f[1]))));
        }}},
      {"ParseInteger", {1, [](const Fields& f) { return std::to_string(ParseInteger(f[0])); }}},
      {"TrimTrailingZeros", {1, [](const Fields& f) { return TrimTrailingZeros(f[0]); }}},
      {"ParseValueList", {1, [](const Fields& f) { return Join(ParseValueList(f[0])); }}},
      {"SplitListItems",
       {1,
        [](const Fields& f) {
          std::string text;
          for (const std::string& item : SplitListItems(f[0])) text += "[" + item + "]";
          return text;
        }}},
      {"PairItems",
       {2,
        [](const Fields& f) {
          const ValuePairs pairs = PairItems(ReadListItems(f[0]), ReadListItems(f[1]));
          return Join(pairs.x) + " : " + Join(pairs.y);
        }}},
      {"SplitTableCells", {1, [](const Fields& f) { return Grid(SplitTableCells(f[0])); }}},
      {"Cell",
       {3,
        [](const Fields& f) {
          return std::string(SplitTableCells(f[0]).cell(Int(f[1]), Int(f[2])));
        }}},
      {"CellValue",
       {3,
        [](const Fields& f) {
          return Shortest(CellValue(SplitTableCells(f[0]), Int(f[1]), Int(f[2])));
        }}},
      {"ReadColumnList",
       {2, [](const Fields& f) { return Join(ReadColumnList(SplitTableCells(f[0]), Int(f[1]))); }}},
      {"ReadColumnItems",
       {2, [](const Fields& f) { return Join(ReadColumnItems(SplitTableCells(f[0]), Int(f[1]))); }}},
      {"ReadCaseCells",
       {3,
        [](const Fields& f) {
          const auto values = ReadCaseCells(SplitTableCells(f[0]), Int(f[1]), Int(f[2]));
          return values ? Join(*values) : "none";
        }}},
      {"ClassifyTokenEnd",
       {1,
        [](const Fields& f) { return std::to_string(static_cast<int>(ClassifyTokenEnd(f[0]))); }}},
      {"WorksheetChar", {1, [](const Fields& f) { return Classes(f[0], ClassifyWorksheetChar); }}},
      {"ExpressionChar",
       {1, [](const Fields& f) { return Classes(f[0], ClassifyExpressionChar); }}},
      {"StatementChar", {1, [](const Fields& f) { return Classes(f[0], ClassifyStatementChar); }}},
      {"Utf8CharLength",
       {2, [](const Fields& f) { return std::to_string(Utf8CharLength(f[0], Int(f[1]))); }}},
      // numeric
      {"TCritical", {2, [](const Fields& f) { return Shortest(TCritical(Int(f[0]), Int(f[1]))); }}},
      {"ChiSquareCritical",
       {2, [](const Fields& f) { return Shortest(ChiSquareCritical(Int(f[0]), Int(f[1]))); }}},
      {"FCritical",
       {3, [](const Fields& f) { return Shortest(FCritical(Int(f[0]), Int(f[1]), Int(f[2]))); }}},
      {"RCritical", {2, [](const Fields& f) { return Shortest(RCritical(Int(f[0]), Int(f[1]))); }}},
      {"NormalCritical", {1, [](const Fields& f) { return Shortest(NormalCritical(Int(f[0]))); }}},
      {"TLabel",
       {2,
        [](const Fields& f) {
          return std::string(LabelByCriticalValue(
              Real(f[0]), [&](int level) { return TCritical(Int(f[1]), level); }, kTwoSidedLabels));
        }}},
      {"ProbT", {2, [](const Fields& f) { return Shortest(ProbT(Real(f[0]), Int(f[1]))); }}},
      {"ProbF",
       {3, [](const Fields& f) { return Optional(ProbF(Real(f[0]), Int(f[1]), Int(f[2]))); }}},
      {"LogGamma", {1, [](const Fields& f) { return Shortest(LogGamma(Real(f[0]))); }}},
      {"DuncanRange",
       {3, [](const Fields& f) { return Shortest(DuncanRange(Int(f[0]), Int(f[1]), Int(f[2]))); }}},
      {"RankSumCritical",
       {3,
        [](const Fields& f) {
          const RankSumBounds bounds = RankSumCritical(Int(f[0]), Int(f[1]), Int(f[2]));
          return Shortest(bounds.lower) + " " + Shortest(bounds.upper);
        }}},
      {"SignedRankCritical",
       {2, [](const Fields& f) { return Shortest(SignedRankCritical(Int(f[0]), Int(f[1]))); }}},
      {"Summary",
       {1,
        [](const Fields& f) {
          const std::vector<double> x = List(f[0]);
          return Join(std::vector<double>{Sum(x), Mean(x), SumSquaredDeviations(x),
                                          SampleVariance(x), PopulationVariance(x), SumOfSquares(x),
                                          Minimum(x), Maximum(x)});
        }}},
      {"BinomialCoefficient",
       {2, [](const Fields& f) { return Shortest(BinomialCoefficient(Real(f[0]), Real(f[1]))); }}},
      {"PowInt", {2, [](const Fields& f) { return Shortest(PowInt(Real(f[0]), Int(f[1]))); }}},
      {"PowIntInt", {2, [](const Fields& f) { return Shortest(PowIntInt(Int(f[0]), Int(f[1]))); }}},
      {"RankValues",
       {1,
        [](const Fields& f) {
          std::vector<double> values = List(f[0]);
          RankValues(values);
          return Join(values);
        }}},
      // procedures
      {"ChiSquareLabel",
       {2, [](const Fields& f) { return std::string(ChiSquareLabel(Real(f[0]), Int(f[1]))); }}},
      {"FRatioLabel",
       {3,
        [](const Fields& f) {
          return std::string(FRatioLabel(Real(f[0]), Int(f[1]), Int(f[2]), kF));
        }}},
      {"LabelLine",
       {2,
        [](const Fields& f) {
          std::string line;
          AppendLabelLine(line, "F", Labels(f[0]), static_cast<std::size_t>(Int(f[1])));
          return line;
        }}},
      {"TabbedLabelLine",
       {1,
        [](const Fields& f) {
          std::string line;
          AppendTabbedLabelLine(line, "F", Labels(f[0]));
          return line;
        }}},
      {"NormalSignificance",
       {1, [](const Fields& f) { return std::string(NormalSignificance(Real(f[0]))); }}},
      {"LabelOutlier",
       {2,
        [](const Fields& f) {
          const OutlierLabels labels =
              LabelOutlier(static_cast<std::size_t>(Int(f[0])), Real(f[1]));
          return std::string(labels.smirnov) + " " + std::string(labels.thompson);
        }}},
      {"WelchDegreesOfFreedom",
       {4,
        [](const Fields& f) {
          return std::to_string(
              WelchDegreesOfFreedom(Real(f[0]), Real(f[1]), Real(f[2]), Real(f[3])));
        }}},
      {"ReadSubjects",
       {1,
        [](const Fields& f) {
          const ValuePairs subjects = ReadSubjects(SplitTableCells(f[0]));
          return Join(subjects.x) + " : " + Join(subjects.y);
        }}},
      {"KaplanMeier",
       {3,
        [](const Fields& f) {
          const auto estimate = EstimateKaplanMeier(Pairs(f[0], f[1]), Real(f[2]));
          if (!estimate) return std::string("none");
          return Join(std::vector<double>{estimate->survival_at_time, estimate->standard_error,
                                          estimate->mean_survival});
        }}},
      {"Gehan",
       {4,
        [](const Fields& f) {
          const GehanStatistic gehan = GehanWilcoxon(Pairs(f[0], f[1]), Pairs(f[2], f[3]));
          return Shortest(gehan.w) + " " + Shortest(gehan.v);
        }}},
      // p-values, as the reports show them
      {"StudentTwoSidedP",
       {2, [](const Fields& f) { return PValueText(StudentTwoSidedP(Real(f[0]), Real(f[1]))); }}},
      {"FUpperP",
       {3,
        [](const Fields& f) {
          return PValueText(FUpperP(Real(f[0]), Real(f[1]), Real(f[2])));
        }}},
      {"ChiSquareUpperP",
       {2, [](const Fields& f) { return PValueText(ChiSquareUpperP(Real(f[0]), Real(f[1]))); }}},
      {"NormalTwoSidedP",
       {1, [](const Fields& f) { return PValueText(NormalTwoSidedP(Real(f[0]))); }}},
      {"FairCoinTwoSidedP",
       {2, [](const Fields& f) { return PValueText(FairCoinTwoSidedP(Real(f[0]), Real(f[1]))); }}},
      {"RankSumP",
       {3, [](const Fields& f) { return PValueText(RankSumP(Real(f[0]), Int(f[1]), Int(f[2]))); }}},
      {"SignedRankP",
       {2, [](const Fields& f) { return PValueText(SignedRankP(Real(f[0]), Int(f[1]))); }}},
      {"SpearmanExactP",
       {2, [](const Fields& f) { return PValueText(SpearmanExactP(Real(f[0]), Int(f[1]))); }}},
      {"KendallExactP",
       {2, [](const Fields& f) { return PValueText(KendallExactP(Real(f[0]), Int(f[1]))); }}},
      {"PValueText", {1, [](const Fields& f) { return PValueText(Real(f[0])); }}},
      // engine
      {"Calculate", {1, [](const Fields& f) { return CalculateWorksheet(f[0]).text; }}},
      {"WithLfLineEnds", {1, [](const Fields& f) { return WithLfLineEnds(f[0]); }}},
      {"EvaluateUntilStable", {1, [](const Fields& f) { return EvaluateUntilStable(f[0]); }}},
      {"EvaluateDirectly",
       {1, [](const Fields& f) { return EvaluateDirectly(f[0]).value_or("none"); }}},
      {"IsNumberText", {1, [](const Fields& f) { return Bool(IsNumberText(f[0])); }}},
      {"ExtractExpression", {1, [](const Fields& f) { return ExtractExpression(f[0]); }}},
      {"CheckExponentMarkers", {1, [](const Fields& f) { return CheckExponentMarkers(f[0]); }}},
      {"OnePass", {1, [](const Fields& f) {
         CalculationCounts counts;
         const std::string text = CalculateWorksheet(f[0], {.counts = &counts}).text;
         return text + " [" + std::to_string(counts.one_pass_answers) + " in one pass]";
       }}},
      {"ReducerAnswer", {1, [](const Fields& f) { return ReducerAnswer(f[0]); }}},
      {"KeepTrailingNumber", {1, [](const Fields& f) { return KeepTrailingNumber(f[0]); }}},
      {"NearestName",
       {2,
        [](const Fields& f) {
          NearestName nearest(f[0]);
          std::stringstream candidates(f[1]);
          for (std::string name; std::getline(candidates, name, ',');) nearest.Consider(name);
          return nearest.best();
        }}},
      {"DriveEcho",
       {1,
        [](const Fields& f) {
          std::string driven;
          std::size_t copied = 0;
          RunStatementDriver(f[0], Answers(), kEchoStatements, {}, 0,
                             [&](std::size_t offset, std::string_view report) {
                               driven += f[0].substr(copied, offset - copied);
                               driven += report;
                               copied = offset;
                             });
          return driven + f[0].substr(copied);
        }}},
      // cli
      {"ParseOptions", {-1, Options}},
  };
  return functions;
}

std::string Unescape(std::string_view field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      text += field[i];
      continue;
    }
    const char code = field[++i];
    if (code == 'x' && i + 2 < field.size()) {
      text += static_cast<char>(std::stoi(std::string(field.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      text += code == 't' ? '\t' : code == 'r' ? '\r' : code == 'n' ? '\n' : code;
    }
  }
  return text;
}

// Whether the numbers of actual lie within the tolerance of "~T a b ...".
bool Near(const std::string& expected, const std::string& actual) {
  std::stringstream want(expected.substr(1));
  std::stringstream got(actual);
  std::string tolerance, a, b;
  want >> tolerance;
  while (want >> a) {
    if (!(got >> b)) return false;
    const double x = Real(a);
    const double y = Real(b);
    if (std::isnan(x) != std::isnan(y) ||
        (!std::isnan(x) && !(std::fabs(x - y) <= Real(tolerance))))
      return false;
  }
  return !(got >> b);
}

std::vector<fs::path> CaseTables() {
  std::vector<fs::path> tables;
  // Only tests/LAYER/NAME.tsv: the editor keeps its own tables deeper, read by its tests.
  for (const auto& layer : fs::directory_iterator(TALLO_TESTS_DIR)) {
    if (!layer.is_directory()) continue;
    for (const auto& entry : fs::directory_iterator(layer.path())) {
      if (entry.path().extension() == ".tsv") tables.push_back(entry.path());
    }
  }
  std::sort(tables.begin(), tables.end());
  return tables;
}

class CaseTable : public testing::TestWithParam<fs::path> {};

TEST_P(CaseTable, EveryLineGivesItsExpectedResult) {
  std::stringstream lines(testing_support::ReadFile(GetParam()));
  int number = 0;
  int cases = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    Fields fields;
    for (std::size_t begin = 0, tab = 0; tab != std::string::npos; begin = tab + 1) {
      tab = line.find('\t', begin);
      fields.push_back(Unescape(std::string_view(line).substr(begin, tab - begin)));
    }
    const std::string where = GetParam().filename().string() + ":" + std::to_string(number);
    const auto found = Functions().find(fields.front());
    ASSERT_NE(found, Functions().end()) << where << ": no function " << fields.front();
    const Fields arguments(fields.begin() + 1, fields.end() - 1);
    ASSERT_TRUE(found->second.arguments < 0 ||
                found->second.arguments == static_cast<int>(arguments.size()))
        << where << ": wrong number of arguments";
    const std::string& expected = fields.back();
    const std::string actual = found->second.run(arguments);
    if (expected.starts_with('~')) {
      EXPECT_TRUE(Near(expected, actual)) << where << ": " << actual << " is not " << expected;
    } else {
      EXPECT_EQ(actual, expected) << where;
    }
    ++cases;
  }
  EXPECT_GT(cases, 0);
}

INSTANTIATE_TEST_SUITE_P(Tables, CaseTable, testing::ValuesIn(CaseTables()),
                         [](const testing::TestParamInfo<fs::path>& info) {
                           return info.param.parent_path().filename().string() + "_" +
                                  info.param.stem().string();
                         });

}  // namespace
}  // namespace tallo
