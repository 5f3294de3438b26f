#include "procedures/registry.h"

#include <array>

#include "procedures/contingency.h"
#include "procedures/correlation.h"
#include "procedures/curve_fit.h"
#include "procedures/descriptive.h"
#include "procedures/multivariate.h"
#include "procedures/one_way.h"
#include "procedures/outliers.h"
#include "procedures/regression.h"
#include "procedures/survival.h"
#include "procedures/two_sample.h"
#include "procedures/two_way.h"

namespace tallo {
namespace {

// A statement over lists, each of at least minimum_values values.
constexpr Statement Lists(std::string_view name, int arguments, Procedure run, int minimum_values) {
  return {name, arguments, run, 0, minimum_values};
}

// A statement over tables; the data sets after the first tables are single values.
constexpr Statement Tables(std::string_view name, int arguments, Procedure run, int tables) {
  return {name, arguments, run, tables, 0};
}

// Statements whose reports carry no p-value take no options. The minimum numbers of values:
// a mean needs one value and a standard deviation two, and so do the tests built on a
// variance (t, Smirnov) in each sample; a correlation needs two pairs.
constexpr std::array kStatements = {
    Lists("mean", 1, WithoutOptions<MeanAnswer>, 1),
    Lists("sd", 1, WithoutOptions<StandardDeviationAnswer>, 2),
    Lists("se", 1, WithoutOptions<StandardErrorAnswer>, 2),
    Lists("sum", 1, WithoutOptions<SumAnswer>, 0),
    Lists("count", 1, WithoutOptions<CountAnswer>, 0),
    Lists("max", 1, WithoutOptions<MaximumAnswer>, 1),
    Lists("min", 1, WithoutOptions<MinimumAnswer>, 1),
    Lists("histogram", 1, WithoutOptions<HistogramReport>, 1),
    Lists("lsq", 3, WithoutOptions<LeastSquaresFit>, 0),
    Lists("smirnov", 1, WithoutOptions<SmirnovReport>, 2),
    Lists("ttest", 2, TTestReport, 2),
    Lists("pttest", 2, PairedTTestReport, 2),
    Lists("mwtest", 2, MannWhitneyReport, 1),
    Lists("wxtest", 2, WilcoxonReport, 1),
    Tables("anovaow", 1, OneWayAnovaReport, 1),
    Tables("anovatw", 1, TwoWayAnovaReport, 1),
    Tables("kwtest", 1, KruskalWallisReport, 1),
    Tables("fmtest", 1, FriedmanReport, 1),
    Tables("dmtest", 1, WithoutOptions<DuncanReport>, 1),
    Lists("rtest", 2, PearsonReport, 2),
    Tables("drtest", 1, CorrelationDifferenceReport, 1),
    Lists("sptest", 2, SpearmanReport, 2),
    Lists("kdtest", 2, KendallReport, 2),
    Lists("signtest", 1, SignTestReport, 1),
    Tables("fishertest", 1, FisherTestReport, 1),
    Tables("xstest", 1, ChiSquareTestReport, 1),
    Tables("mcntest", 1, McNemarTestReport, 1),
    Tables("cqtest", 1, CochranQReport, 1),
    Tables("oddsratio", 1, WithoutOptions<OddsRatioReport>, 1),
    Tables("relativerisk", 1, WithoutOptions<RelativeRiskReport>, 1),
    Tables("genwxtest", 2, GeneralizedWilcoxonReport, 2),
    Tables("kapmrtest", 3, KaplanMeierReport, 2),
    Tables("vcmtrx", 1, WithoutOptions<VarCovMatrix>, 1),
    Tables("eigenvv", 1, WithoutOptions<EigenOfCovariance>, 1),
    Tables("eigenvc", 1, WithoutOptions<EigenOfCorrelation>, 1),
    Tables("pca", 1, WithoutOptions<PrincipalComponents>, 1),
    Tables("mra", 1, MultipleRegression, 1),
    Tables("lda", 2, WithoutOptions<LinearDiscriminant>, 2),
    Tables("mda", 3, WithoutOptions<MahalanobisDiscriminant>, 3),
};

}  // namespace

std::span<const Statement> Statements() { return kStatements; }

const Statement* FindStatement(std::span<const Statement> statements, std::string_view name,
                               int arguments) {
  const Statement* statement = FindStatementNamed(statements, name);
  return statement != nullptr && statement->arguments == arguments ? statement : nullptr;
}

const Statement* FindStatementNamed(std::span<const Statement> statements, std::string_view name) {
  for (const Statement& statement : statements) {
    if (statement.name == name) return &statement;
  }
  return nullptr;
}

}  // namespace tallo
