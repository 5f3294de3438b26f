#include "procedures/design_report.h"

namespace tallo {

DesignGroups ReadDesignGroups(const CellGrid& grid) {
  DesignGroups groups;
  const std::size_t count = grid.data_columns();
  groups.labels.reserve(count);
  groups.values.reserve(count);
  const std::vector<std::string_view> header = grid.RowCells(0);
  for (std::size_t column = 1; column <= count; ++column) {
    groups.labels.push_back(column < header.size() ? header[column] : std::string_view());
    groups.values.push_back(ReadColumnList(grid, column));
  }
  return groups;
}

std::vector<std::string_view> ReadRowLabels(const CellGrid& grid, std::size_t count) {
  std::vector<std::string_view> labels;
  labels.reserve(count);
  for (std::size_t row = 1; row <= count; ++row) labels.push_back(grid.cell(row, 0));
  return labels;
}

void AppendLabelLine(std::string& report, std::string_view heading,
                     std::span<const std::string_view> labels, std::size_t shown) {
  report += heading;
  report += '\t';
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (i == shown) {
      report += ".....";
      break;
    }
    report += labels[i];
    if (i + 1 < labels.size()) report += ", ";
  }
  report += "\r\n";
}

void AppendTabbedLabelLine(std::string& report, std::string_view heading,
                           std::span<const std::string_view> labels) {
  constexpr std::size_t kShown = 4;
  report += heading;
  report += '\t';
  for (std::size_t i = 0; i < labels.size(); ++i) {
    report += labels[i];
    report += '\t';
    if (i + 1 == kShown) {
      report += "...";
      break;
    }
  }
  report += "\r\n";
}

std::string_view ChiSquareLabel(double statistic, int df) {
  if (df < 1) return kTwoSidedLabels.not_significant;
  return LabelByCriticalValue(
      statistic, [df](int level) { return ChiSquareCritical(df, level); }, kTwoSidedLabels);
}

std::string_view FRatioLabel(double ratio, int df1, int df2, const SignificanceLabels& labels) {
  return LabelByCriticalValue(
      ratio, [df1, df2](int level) { return FCritical(df1, df2, level); }, labels);
}

}  // namespace tallo
