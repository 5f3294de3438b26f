#include "procedures/multivariate.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "support/odd_tables.h"
#include "text/number_text.h"

namespace tallo {
namespace {

std::string Report(Procedure procedure, std::string_view table) {
  const std::array<std::string_view, 1> texts = {table};
  return procedure(texts);
}

// An empty cell in row 3 of variable b only.
constexpr std::string_view kGap =
    "\ta\tb\r\nr1\t1\t2\r\nr2\t2\t4\r\nr3\t3\t\r\nr4\t4\t3\r\nr5\t5\t7\r\n";

TEST(CovarianceTable, PairsUseTheRowsCompleteForThePair) {
  const PairwiseCovariances table = CovarianceTable(SplitTableCells(kGap));
  ASSERT_EQ(table.variables(), 2u);
  EXPECT_EQ(table.labels, (std::vector<std::string>{"a", "b"}));
  // By hand: a over all five rows has mean 3 and variance 2.5; b over its four cells mean
  // 4 and variance 14/3; the pair over rows 1, 2, 4, 5 has covariance 9/3 = 3.
  EXPECT_DOUBLE_EQ(table.means[0], 3);
  EXPECT_DOUBLE_EQ(table.means[1], 4);
  EXPECT_DOUBLE_EQ(table.combined(0, 0), 2.5);
  EXPECT_DOUBLE_EQ(table.combined(1, 1), 14.0 / 3);
  EXPECT_DOUBLE_EQ(table.combined(1, 0), 3);
  EXPECT_DOUBLE_EQ(table.combined(0, 1), 3 / std::sqrt(2.5 * 14.0 / 3));  // R: 0.87831006565
  EXPECT_EQ(table.case_count, 4u);
}

TEST(CovarianceTable, TooFewRowsGiveNan) {
  const PairwiseCovariances header_only = CovarianceTable(SplitTableCells("\tp\tq\r\n"));
  ASSERT_EQ(header_only.variables(), 2u);
  EXPECT_EQ(header_only.case_count, 0u);
  EXPECT_TRUE(std::isnan(header_only.means[0]));
  EXPECT_TRUE(std::isnan(header_only.combined(1, 0)));

  const PairwiseCovariances one_row = CovarianceTable(SplitTableCells("\tp\tq\r\nr\t1\t2\r\n"));
  EXPECT_EQ(one_row.case_count, 1u);
  EXPECT_EQ(one_row.means[1], 2);
  EXPECT_TRUE(std::isnan(one_row.combined(1, 1)));

  EXPECT_EQ(CovarianceTable(SplitTableCells("")).variables(), 0u);
}

TEST(CovarianceTable, ConstantColumnHasNoCorrelation) {
  const PairwiseCovariances table =
      CovarianceTable(SplitTableCells("\tx\tk\r\n1\t1\t5\r\n2\t2\t5\r\n3\t4\t5\r\n"));
  EXPECT_EQ(table.combined(1, 1), 0);
  EXPECT_EQ(table.combined(1, 0), 0);
  EXPECT_TRUE(std::isnan(table.combined(0, 1)));  // 0 / 0
}

TEST(CovarianceTable, NoLimitOnRowsOrColumns) {
  // 600 cases of 30 variables, variable j holding j times the case number. By hand:
  // var(1..600) = 600 * 601 / 12 = 30050, so cov(j x, k x) = j k 30050 and every
  // correlation is 1.
  std::string text;
  for (int j = 1; j <= 30; ++j) text += Format("\tv%d", j);
  text += "\r\n";
  for (int i = 1; i <= 600; ++i) {
    text += Format("case%d", i);
    for (int j = 1; j <= 30; ++j) text += Format("\t%d", i * j);
    text += "\r\n";
  }
  const PairwiseCovariances table = CovarianceTable(SplitTableCells(text));
  ASSERT_EQ(table.variables(), 30u);
  EXPECT_EQ(table.case_count, 600u);
  EXPECT_DOUBLE_EQ(table.combined(29, 0), 30 * 30050.0);
  EXPECT_NEAR(table.combined(0, 29), 1, 1e-12);
  EXPECT_DOUBLE_EQ(table.means[1], 601.0);
}

TEST(EigenAnalysis, OneVariable) {
  // Variance of 1, 2, 3 is 1 (by hand): its own eigenvalue, with the vector (1).
  EXPECT_EQ(Report(EigenOfCovariance, "\tx\r\nr1\t1\r\nr2\t2\r\nr3\t3\r\n"),
            "--- Eigenvalue and eigenvector of variance-covariance matrix ---\r\n"
            "matrix\r\n1.00e+000\r\n"
            "eigen value\r\n1.00e+000\r\n"
            "proportion\r\n1.00e+000\r\n"
            "cumulative proportion\r\n1.00e+000\r\n"
            "eigen vector\r\n1.00e+000\r\n");
  EXPECT_EQ(Report(PrincipalComponents, "\tx\r\nr1\t1\r\nr2\t2\r\nr3\t3\r\n"),
            "--- Principal component analysis -----------\r\n"
            "factor, eigen value, proportion, cumulastive proportion\r\n"
            "factor[1] 1.000000, 1.000000, 1.000000\r\n"
            "\r\ncoefficient of each factor\r\n"
            "factor[1]\r\n[x] 1.000000\r\n\r\n"
            "component score\r\n------ factor[1]\r\n"
            "r1 -1.000000\r\nr2 0.000000\r\nr3 1.000000\r\n");
}

TEST(EigenAnalysis, ConstantColumnWritesNanAndEveryCase) {
  const std::string_view table = "\tx\tk\r\nr1\t1\t5\r\nr2\t2\t5\r\nr3\t4\t5\r\n";
  const std::string listing = Report(EigenOfCorrelation, table);
  EXPECT_NE(listing.find("eigen value\r\nnan, nan\r\n"), std::string::npos) << listing;
  EXPECT_TRUE(listing.ends_with("eigen vector\r\nnan, nan\r\nnan, nan\r\n")) << listing;
  // No eigenvalue reaches 0.01, so no factor is listed; each case still has its line.
  EXPECT_EQ(Report(PrincipalComponents, table),
            "--- Principal component analysis -----------\r\n"
            "factor, eigen value, proportion, cumulastive proportion\r\n"
            "\r\ncoefficient of each factor\r\n"
            "component score\r\n------\r\n"
            "r1\r\nr2\r\nr3\r\n");
}

TEST(VarCovMatrix, HeaderOnly) {
  EXPECT_EQ(Report(VarCovMatrix, "\tp\tq\r\n"),
            "--- variance-covariance and correlation matrix ---\r\n"
            "[p] nan nan\r\n[q] nan nan\r\n\r\n"
            "[variable] mean, standard deviation\r\n"
            "[p] nan, nan\r\n[q] nan, nan\r\n"
            "n=0\r\n");
}

// Odd tables never make a statement read outside its data (the sanitizer build runs this).
TEST(TableStatements, OddTablesStillGiveTheirTitle) {
  for (std::string_view table : testing_support::kOddTables) {
    EXPECT_TRUE(Report(VarCovMatrix, table).starts_with("--- variance-covariance")) << table;
    EXPECT_TRUE(Report(EigenOfCovariance, table).starts_with("--- Eigenvalue")) << table;
    EXPECT_TRUE(Report(EigenOfCorrelation, table).starts_with("--- Eigenvalue")) << table;
    EXPECT_TRUE(Report(PrincipalComponents, table).starts_with("--- Principal")) << table;
  }
}

}  // namespace
}  // namespace tallo
