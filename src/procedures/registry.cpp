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

// A statement over tables only.
constexpr Statement Tables(std::string_view name, int arguments, Procedure run) {
  return {name, arguments, run, arguments, 0};
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
    Tables("anovaow", 1, OneWayAnovaReport),
    Tables("anovatw", 1, TwoWayAnovaReport),
    Tables("kwtest", 1, KruskalWallisReport),
    Tables("fmtest", 1, FriedmanReport),
    Tables("dmtest", 1, WithoutOptions<DuncanReport>),
    Lists("rtest", 2, PearsonReport, 2),
    Tables("drtest", 1, CorrelationDifferenceReport),
    Lists("sptest", 2, SpearmanReport, 2),
    Lists("kdtest", 2, KendallReport, 2),
    Lists("signtest", 1, SignTestReport, 1),
    Tables("fishertest", 1, FisherTestReport),
    Tables("xstest", 1, ChiSquareTestReport),
    Tables("mcntest", 1, McNemarTestReport),
    Tables("cqtest", 1, CochranQReport),
    Tables("oddsratio", 1, WithoutOptions<OddsRatioReport>),
    Tables("relativerisk", 1, WithoutOptions<RelativeRiskReport>),
    Tables("genwxtest", 2, GeneralizedWilcoxonReport),
    Statement{"kapmrtest", 3, KaplanMeierReport, 2, 0},  // two tables and a time
    Tables("vcmtrx", 1, WithoutOptions<VarCovMatrix>),
    Tables("eigenvv", 1, WithoutOptions<EigenOfCovariance>),
    Tables("eigenvc", 1, WithoutOptions<EigenOfCorrelation>),
    Tables("pca", 1, WithoutOptions<PrincipalComponents>),
    Tables("mra", 1, MultipleRegression),
    Tables("lda", 2, WithoutOptions<LinearDiscriminant>),
    Tables("mda", 3, WithoutOptions<MahalanobisDiscriminant>),
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
