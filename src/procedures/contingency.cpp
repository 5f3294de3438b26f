#include "procedures/contingency.h"

#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include "numeric/critical_values.h"
#include "numeric/p_values.h"
#include "text/data_readers.h"
#include "text/number_text.h"

namespace tallo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The data cells of a table (rows 1 onward, columns 1 to the last row's data columns) with
// their margins.
class CountTable {
 public:
  explicit CountTable(const CellGrid& grid)
      : grid_(grid),
        rows_(grid_.rows() > 0 ? grid_.rows() - 1 : 0),
        columns_(grid_.data_columns()),
        row_totals_(rows_),
        column_totals_(columns_) {
    counts_.reserve(rows_ * columns_);
    for (std::size_t i = 0; i < rows_; ++i) {
      const std::vector<std::string_view> row_cells = grid_.RowCells(i + 1);
      for (std::size_t j = 0; j < columns_; ++j) {
        // A cell read as atof reads it: an empty or missing cell is 0.
        const double count = j + 1 < row_cells.size() ? ParseReal(row_cells[j + 1]) : 0;
        counts_.push_back(count);
        row_totals_[i] += count;
        column_totals_[j] += count;
        total_ += count;
      }
    }
  }

  const CellGrid& grid() const { return grid_; }
  std::size_t rows() const { return rows_; }        // r
  std::size_t columns() const { return columns_; }  // k
  // The count of data row i and data column j, both from 0; 0 outside the table, so a
  // table smaller than 2 x 2 reads its missing block cells as 0.
  double count(std::size_t i, std::size_t j) const {
    return i < rows_ && j < columns_ ? counts_[i * columns_ + j] : 0;
  }
  double row_total(std::size_t i) const { return row_totals_[i]; }
  double column_total(std::size_t j) const { return column_totals_[j]; }
  double total() const { return total_; }  // N

 private:
  const CellGrid& grid_;
  std::size_t rows_;
  std::size_t columns_;
  std::vector<double> counts_;
  std::vector<double> row_totals_;
  std::vector<double> column_totals_;
  double total_ = 0;
};

// The first 2 x 2 block: a b over c d.
struct Block {
  double a, b, c, d;
};

Block FirstBlock(const CountTable& table) {
  return {table.count(0, 0), table.count(0, 1), table.count(1, 0), table.count(1, 1)};
}

enum class DataCellEcho { kText, kCount };

// The table as the reports show it: every row with as many cells as the last row, each
// followed by a TAB, data rows ending in their total; then a line of column totals and N.
void AppendTableEcho(std::string& report, const CountTable& table, DataCellEcho data_cells) {
  const std::size_t cells = table.columns() + 1;
  for (std::size_t row = 0; row < table.grid().rows(); ++row) {
    const std::vector<std::string_view> row_cells = table.grid().RowCells(row);
    for (std::size_t column = 0; column < cells; ++column) {
      if (data_cells == DataCellEcho::kCount && row > 0 && column > 0) {
        AppendFormat(report, "%0.0f\t", table.count(row - 1, column - 1));
      } else {
        AppendFormat(report, "%s\t", column < row_cells.size() ? row_cells[column] : "");
      }
    }
    if (row == 0) {
      report += "\r\n";
    } else {
      AppendFormat(report, "%0.0f\r\n", table.row_total(row - 1));
    }
  }
  report += "\t";
  for (std::size_t j = 0; j < table.columns(); ++j) {
    AppendFormat(report, "%0.0f\t", table.column_total(j));
  }
  AppendFormat(report, "%0.0f\r\n", table.total());
}

// Label of a chi-square statistic with df degrees of freedom. With no degree of freedom
// there is nothing to test (X2 is 0 by construction), so nothing is reached.
std::string_view ChiSquareLabel(double x2, int df) {
  return LabelByCriticalValue(
      x2, [df](int level) { return df >= 1 ? ChiSquareCritical(df, level) : kNaN; },
      kTwoSidedLabels);
}

// log(x!) for whole x >= 0, without forming x! itself.
double LogFactorial(double x) { return std::lgamma(x + 1); }

// Probability of the 2 x 2 table a b / c d among the tables with its margins. Formed from
// log-factorials, so no intermediate product overflows.
double HypergeometricProbability(const Block& t) {
  const double n = t.a + t.b + t.c + t.d;
  return std::exp(LogFactorial(t.a + t.b) + LogFactorial(t.c + t.d) + LogFactorial(t.a + t.c) +
                  LogFactorial(t.b + t.d) - LogFactorial(n) - LogFactorial(t.a) -
                  LogFactorial(t.b) - LogFactorial(t.c) - LogFactorial(t.d));
}

// Whether the first smallest data cell (rows then columns, below 1e10) lies on the main
// diagonal; the tail walk empties that diagonal first.
bool SmallestCellOnDiagonal(const CountTable& table) {
  double smallest = 1e10;
  bool on_diagonal = true;
  for (std::size_t i = 0; i < table.rows(); ++i) {
    for (std::size_t j = 0; j < table.columns(); ++j) {
      if (table.count(i, j) < smallest) {
        smallest = table.count(i, j);
        on_diagonal = i == j;
      }
    }
  }
  return on_diagonal;
}

// Tables whose total exceeds this have factorials beyond the range of a double; the exact
// test is not offered for them.
constexpr double kLargestFisherTotal = 170;

// Two-sided P: twice the probability of the observed block and of every more extreme one
// with the same margins, capped at 1. nan when N is too large.
double FisherP(const CountTable& table) {
  Block t = FirstBlock(table);
  if (!(t.a + t.b + t.c + t.d <= kLargestFisherTotal)) return kNaN;
  const double step = SmallestCellOnDiagonal(table) ? -1 : 1;
  double tail = 0;
  // N <= 170 bounds the walk: a + b falls by one at every step on one side or the other.
  for (; t.a >= 0 && t.b >= 0 && t.c >= 0 && t.d >= 0;
       t.a += step, t.d += step, t.b -= step, t.c -= step) {
    tail += HypergeometricProbability(t);
  }
  return std::fmin(2 * tail, 1.0);
}

// "significant" when the 95% interval of a ratio leaves out 1.
std::string_view IntervalLabel(double lower, double upper) {
  return lower >= 1 || upper <= 1 ? "significant" : "n.s";
}

// A ratio measure of the first block with its interval exp(ln ratio -+ 1.96 se).
std::string RatioReport(std::string_view title, std::string_view measure_line, double ratio,
                        double log_se, const CountTable& table) {
  std::string report(title);
  AppendTableEcho(report, table, DataCellEcho::kText);
  const double lower = std::exp(std::log(ratio) - 1.96 * log_se);
  const double upper = std::exp(std::log(ratio) + 1.96 * log_se);
  AppendFormat(report, measure_line, ratio);
  AppendFormat(report, "Confidence Interval(95%%) %f - %f %s\r\n", lower, upper,
               IntervalLabel(lower, upper));
  return report;
}

}  // namespace

std::string ChiSquareTestReport(DataSets data, const ReportOptions& options) {
  const CountTable table(data[0]->table());
  const std::size_t r = table.rows();
  const std::size_t k = table.columns();
  const bool one_row = r == 1;
  double x2 = 0;
  int small = 0;   // cells expecting fewer than 5
  int scarce = 0;  // cells expecting fewer than 1
  for (std::size_t i = 0; i < r; ++i) {
    for (std::size_t j = 0; j < k; ++j) {
      // One row tests equal frequencies; more rows test independence.
      const double expected = one_row ? table.total() / static_cast<double>(k)
                                      : table.row_total(i) * table.column_total(j) / table.total();
      x2 += std::pow(table.count(i, j) - expected, 2) / expected;
      if (expected < 5) ++small;
      if (expected < 1) ++scarce;
    }
  }
  // A table without data cells has no statistic and no degrees of freedom.
  const bool has_cells = r > 0 && k > 0;
  if (!has_cells) x2 = kNaN;
  const int df = !has_cells ? 0
                 : one_row  ? static_cast<int>(k) - 1
                            : static_cast<int>((r - 1) * (k - 1));

  std::string report = "---Chi-square test------\r\n";
  AppendTableEcho(report, table, DataCellEcho::kCount);
  if (scarce == 0 && small <= 0.2 * static_cast<double>(r * k)) {
    AppendFormat(report, "\r\nn(E<5)=%d\tn(E<1)=%d\tDf=%d\tX2=%f\t%s\r\n", small, scarce, df, x2,
                 ChiSquareLabel(x2, df));
    AppendPValue(report, options, [&] { return ChiSquareUpperP(x2, df); });
  } else {
    AppendFormat(report, "n(E<5)=%d n(E<1)=%d\r\n", small, scarce);
    report += "Some of expect value is too small.\r\nUnify and input again!\r\n";
  }
  return report;
}

std::string FisherTestReport(DataSets data, const ReportOptions& options) {
  const CountTable table(data[0]->table());
  const double p = FisherP(table);
  const std::string_view label =
      std::isnan(p)
          ? "N is too large. Use chi-square test."
          : LabelSignificance([p](int level) { return p < level / 100.0; }, kTwoSidedLabels);
  std::string report = "---Fisher's test----\r\n";
  AppendTableEcho(report, table, DataCellEcho::kText);
  AppendFormat(report, "P=%f\t%s\r\n", p, label);
  AppendPValue(report, options, [p] { return p; });
  return report;
}

std::string McNemarTestReport(DataSets data, const ReportOptions& options) {
  const CountTable table(data[0]->table());
  const Block t = FirstBlock(table);
  std::string report = "---McNemar's test----------------------\r\n";
  AppendTableEcho(report, table, DataCellEcho::kCount);
  const double expected = (t.a + t.d) / 2;
  if (expected < 5) {
    report += "Expect value is too small.\r\n";
    return report;
  }
  const double x2 = std::pow(std::fabs(t.a - t.d) - 1, 2) / (t.a + t.d);
  AppendFormat(report, "E=%0.3f\tDf=%d\tX2=%f\t%s\r\n", expected, 1, x2, ChiSquareLabel(x2, 1));
  AppendPValue(report, options, [&] { return ChiSquareUpperP(x2, 1); });
  return report;
}

std::string OddsRatioReport(DataSets data) {
  const CountTable table(data[0]->table());
  const Block t = FirstBlock(table);
  const double ratio = t.a * t.d / (t.b * t.c);
  const double log_se = std::sqrt(1 / t.a + 1 / t.b + 1 / t.c + 1 / t.d);
  return RatioReport("---Odds Ratio----\r\n", "Odds Ratio=%f\r\n", ratio, log_se, table);
}

std::string RelativeRiskReport(DataSets data) {
  const CountTable table(data[0]->table());
  const Block t = FirstBlock(table);
  const double p1 = t.a / (t.a + t.b);
  const double p2 = t.c / (t.c + t.d);
  const double log_se = std::sqrt((1 - p1) / t.a + (1 - p2) / t.c);
  return RatioReport("---Relative Risk----\r\n", "Relative Risk=%f\r\n", p1 / p2, log_se, table);
}

}  // namespace tallo
