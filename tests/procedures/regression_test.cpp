#include "procedures/regression.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "procedures/curve_fit.h"
#include "support/odd_tables.h"
#include "text/number_text.h"

namespace tallo {
namespace {

template <typename... Texts>
std::string Report(Procedure procedure, Texts... texts) {
  const std::array<std::string_view, sizeof...(Texts)> data = {texts...};
  return procedure(data);
}

bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

// The number that follows the first occurrence of label.
double NumberAfter(const std::string& text, std::string_view label) {
  const std::size_t at = text.find(label);
  EXPECT_NE(at, std::string::npos) << label;
  return at == std::string::npos ? 0 : ParseReal(std::string_view(text).substr(at + label.size()));
}

TEST(MultipleRegression, NoErrorDegreesOfFreedomGiveNoProbability) {
  // Three cases for two explanatory variables: df_err = 0, so F and p are undefined and
  // no asterisk claims significance.
  const std::string report =
      Report(MultipleRegression, "\tx1\tx2\ty\r\nc1\t1\t2\t4\r\nc2\t2\t1\t3\r\nc3\t4\t5\t1\r\n");
  EXPECT_TRUE(Contains(report, "ERROR:\t0.000000  0  ")) << report;
  EXPECT_TRUE(report.ends_with("\r\np=nan\r\n")) << report;
}

TEST(MultipleRegression, SingularOrMissingMatrix) {
  const std::string singular =
      "--- Multiple regression analysis ----------\r\nthe matrix is singular\r\n";
  EXPECT_EQ(Report(MultipleRegression, "\tx\tk\ty\r\na\t1\t4\t2\r\nb\t2\t4\t3\r\nc\t3\t4\t5\r\n"),
            singular);
  // Fewer cases than explanatory variables.
  EXPECT_EQ(Report(MultipleRegression, "\tx1\tx2\tx3\ty\r\na\t1\t4\t2\t1\r\nb\t2\t5\t3\t2\r\n"),
            singular);
  EXPECT_EQ(Report(MultipleRegression, "\r\nrow\r\n"),
            "--- Multiple regression analysis ----------\r\nno data columns\r\n");
}

TEST(MultipleRegression, MissingResponseLeavesTheRowOutOfTheFit) {
  // The fifth row has no y. By hand: var(x) over all five rows 2.5, cov(x, y) over the
  // four complete rows 10/3, so b = 4/3 and the constant 6 - 3 b = 2. The fit runs over
  // the four complete rows: SST 20, SSE 4 with 4 - 1 - 1 = 2 df, SSR 16/9 * 5 = 8.888889,
  // F 40/9 and R = sqrt(SSR / SST) = 2/3. R: pf(40/9, 1, 2, lower.tail=FALSE) = 0.169545.
  const std::string report = Report(
      MultipleRegression, "\tx\ty\r\na\t1\t3\r\nb\t2\t5\r\nc\t3\t7\r\nd\t4\t9\r\ne\t5\t\r\n");
  EXPECT_TRUE(Contains(report, "Y=(1.333333)*x+(2.000000)\r\n")) << report;
  EXPECT_TRUE(Contains(report, "R=0.666667, propotion=0.444444\r\n")) << report;
  EXPECT_TRUE(Contains(report,
                       "REGRES:\t8.888889  1  8.888889  4.444444\r\n"
                       "ERROR:\t4.000000  2  2.000000\r\n"
                       "TOTAL:\t20.000000  3\r\n"))
      << report;
  EXPECT_TRUE(report.ends_with("\r\np=0.169545\r\n")) << report;
}

// Two groups with the same means (2, 3).
constexpr std::string_view kGroupA = "\tp\tq\r\na1\t1\t2\r\na2\t2\t4\r\na3\t3\t3\r\n";
constexpr std::string_view kGroupB = "\tp\tq\r\nb1\t3\t2\r\nb2\t1\t4\r\nb3\t2\t3\r\n";

TEST(LinearDiscriminant, IdenticalMeansPutEveryCaseOnTheNegativeSide) {
  const std::string report = Report(LinearDiscriminant, kGroupA, kGroupB);
  EXPECT_TRUE(Contains(report, "[p] 0.000000, 0.000000\r\n[q] 0.000000, 0.000000\r\n")) << report;
  EXPECT_EQ(NumberAfter(report, "[const] "), 0);
  EXPECT_TRUE(
      report.ends_with("value of discriminant equation\r\n"
                       "D1 Positive=0 Negative=3 Total=3 P/T=0.000000 N/T=1.000000\r\n"
                       "D2 Positive=0 Negative=3 Total=3 P/T=0.000000 N/T=1.000000\r\n"))
      << report;
}

TEST(LinearDiscriminant, FirstTableNeedsTheVariablesOfTheSecond) {
  EXPECT_EQ(Report(LinearDiscriminant, "\tp\r\na\t1\r\nb\t2\r\n", kGroupB),
            "--- Linear discriminant analysis ---\r\n"
            "the first table has fewer variables than the second\r\n");
  EXPECT_EQ(Report(MahalanobisDiscriminant, "\tp\r\na\t1\r\nb\t2\r\n", kGroupB, kGroupB),
            "--- Mahalanobis' discriminant analysis -----------\r\n"
            "the first table has fewer variables than the second\r\n");
}

TEST(MahalanobisDiscriminant, EqualDistancesCountOnlyAsEqual) {
  // B is A moved 10 along p: the same covariance matrix, so the case (6, 1), 5 from
  // either mean along p, is equally far from both (by hand, 25 / var(p) = 25 / (4/3)).
  const std::string a = "\tp\tq\r\na1\t0\t0\r\na2\t2\t0\r\na3\t0\t2\r\na4\t2\t2\r\n";
  const std::string b = "\tp\tq\r\nb1\t10\t0\r\nb2\t12\t0\r\nb3\t10\t2\r\nb4\t12\t2\r\n";
  EXPECT_EQ(Report(MahalanobisDiscriminant, a, b, "\tp\tq\r\nmid\t6\t1\r\n"),
            "--- Mahalanobis' discriminant analysis -----------\r\n"
            "mid D1=18.750000, D2=18.750000, Distance=0.000000, D1=D2\r\n"
            "n(D1)=0, n(D2)=0, n(D1=D2)=1, n(Total)=1, D1/T=0.000000, D2/T=0.000000\r\n");
  // No cases: the proportions divide by zero.
  EXPECT_EQ(Report(MahalanobisDiscriminant, a, b, "\tp\tq\r\n"),
            "--- Mahalanobis' discriminant analysis -----------\r\n"
            "n(D1)=0, n(D2)=0, n(D1=D2)=0, n(Total)=0, D1/T=nan, D2/T=nan\r\n");
}

std::string Fit(std::string_view x, std::string_view y, std::string_view degree) {
  return Report(LeastSquaresFit, x, y, degree);
}

TEST(LeastSquaresFit, ReciprocalDegreeIsALeastSquaresFitInOneOverX) {
  // Hand: u = 1/x = 1, 0.5, 0.25 against y = 1, 0, 0 gives slope 10/7, intercept -1/2
  // and residual sum 1/14. R: lm(y ~ I(1/x)) and sqrt(R squared) = 0.944911.
  EXPECT_EQ(Fit("1,2,4", "1,0,0", "-1"),
            "--- Least square method ---\r\n"
            "D[-0] -0.500000\r\n"
            "D[-1] 1.428571\r\n"
            "sum of desidual squares=0.071429\r\n"
            "coefficient of determination=0.944911\r\n"
            "equation\r\nY= (-0.500000)+(1.428571)/(x)\r\n");
}

TEST(LeastSquaresFit, ExactCurvesOfHigherDegree) {
  // y = 1 + x^4 on x = 1..6: the quartic needs the sums up to x^8.
  const std::string quartic = Fit("1,2,3,4,5,6", "2,17,82,257,626,1297", "4");
  EXPECT_NEAR(NumberAfter(quartic, "D[0] "), 1, 1e-6);
  EXPECT_NEAR(NumberAfter(quartic, "D[1] "), 0, 1e-6);
  EXPECT_NEAR(NumberAfter(quartic, "D[3] "), 0, 1e-6);
  EXPECT_NEAR(NumberAfter(quartic, "D[4] "), 1, 1e-6);
  EXPECT_TRUE(Contains(quartic, "*pow(x,3)+(")) << quartic;
  EXPECT_TRUE(Contains(quartic, ")*pow(x,4)\r\n")) << quartic;

  // y = 1 + 2/x + 3/x^2 on x = 1, 2, 3, 5.
  const std::string reciprocal = Fit("1,2,3,5", "6,2.75,2,1.52", "-2");
  EXPECT_NEAR(NumberAfter(reciprocal, "D[-0] "), 1, 1e-6);
  EXPECT_NEAR(NumberAfter(reciprocal, "D[-1] "), 2, 1e-6);
  EXPECT_NEAR(NumberAfter(reciprocal, "D[-2] "), 3, 1e-6);
  EXPECT_TRUE(Contains(reciprocal, ")/(x)+(")) << reciprocal;
  EXPECT_TRUE(Contains(reciprocal, ")/pow(x,2)\r\n")) << reciprocal;
}

TEST(LeastSquaresFit, DegreeText) {
  for (std::string_view invalid : {"0", "5", "-5", "two", "", "99999999999", "-99999999999"}) {
    EXPECT_EQ(Fit("1,2,3", "1,2,3", invalid), "--Invalid Value--\r\n") << invalid;
  }
  // atoi: leading blanks and line ends skipped, reading stops at the first non-digit.
  EXPECT_TRUE(Contains(Fit("1,2,3", "2,4,6", "\r\n 1\r\n"), "D[1] 2.000000")) << "blanks";
  EXPECT_TRUE(Contains(Fit("1,2,3", "2,4,6", "1.9"), "D[1] 2.000000")) << "1.9 reads as 1";
}

TEST(LeastSquaresFit, ZeroXInReciprocalModeGivesNan) {
  const std::string report = Fit("0,1,2", "1,2,3", "-1");
  EXPECT_TRUE(Contains(report, "D[-0] nan\r\n")) << report;
}

// Odd tables never make a statement read outside its data (the sanitizer build runs this)
// and always give a report under the statement's title.
TEST(MatrixStatements, OddTablesStillGiveTheirTitle) {
  using testing_support::kOddTables;
  for (std::string_view a : kOddTables) {
    EXPECT_TRUE(Report(MultipleRegression, a).starts_with("--- Multiple regression")) << a;
    for (std::string_view b : kOddTables) {
      EXPECT_TRUE(Report(LinearDiscriminant, a, b).starts_with("--- Linear discriminant")) << a;
      EXPECT_TRUE(Report(MahalanobisDiscriminant, a, b, a).starts_with("--- Mahalanobis'")) << a;
    }
  }
}

}  // namespace
}  // namespace tallo
