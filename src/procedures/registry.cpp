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

// Statements whose reports carry no p-value take no options.
constexpr std::array kStatements = {
    Statement{"mean", 1, WithoutOptions<MeanAnswer>},
    Statement{"sd", 1, WithoutOptions<StandardDeviationAnswer>},
    Statement{"se", 1, WithoutOptions<StandardErrorAnswer>},
    Statement{"sum", 1, WithoutOptions<SumAnswer>},
    Statement{"count", 1, WithoutOptions<CountAnswer>},
    Statement{"max", 1, WithoutOptions<MaximumAnswer>},
    Statement{"min", 1, WithoutOptions<MinimumAnswer>},
    Statement{"histogram", 1, WithoutOptions<HistogramReport>},
    Statement{"lsq", 3, WithoutOptions<LeastSquaresFit>},
    Statement{"smirnov", 1, WithoutOptions<SmirnovReport>},
    Statement{"ttest", 2, TTestReport},
    Statement{"pttest", 2, PairedTTestReport},
    Statement{"mwtest", 2, MannWhitneyReport},
    Statement{"wxtest", 2, WilcoxonReport},
    Statement{"anovaow", 1, OneWayAnovaReport},
    Statement{"anovatw", 1, TwoWayAnovaReport},
    Statement{"kwtest", 1, KruskalWallisReport},
    Statement{"fmtest", 1, FriedmanReport},
    Statement{"dmtest", 1, WithoutOptions<DuncanReport>},
    Statement{"rtest", 2, PearsonReport},
    Statement{"drtest", 1, CorrelationDifferenceReport},
    Statement{"sptest", 2, SpearmanReport},
    Statement{"kdtest", 2, KendallReport},
    Statement{"signtest", 1, SignTestReport},
    Statement{"fishertest", 1, FisherTestReport},
    Statement{"xstest", 1, ChiSquareTestReport},
    Statement{"mcntest", 1, McNemarTestReport},
    Statement{"cqtest", 1, CochranQReport},
    Statement{"oddsratio", 1, WithoutOptions<OddsRatioReport>},
    Statement{"relativerisk", 1, WithoutOptions<RelativeRiskReport>},
    Statement{"genwxtest", 2, GeneralizedWilcoxonReport},
    Statement{"kapmrtest", 3, KaplanMeierReport},
    Statement{"vcmtrx", 1, WithoutOptions<VarCovMatrix>},
    Statement{"eigenvv", 1, WithoutOptions<EigenOfCovariance>},
    Statement{"eigenvc", 1, WithoutOptions<EigenOfCorrelation>},
    Statement{"pca", 1, WithoutOptions<PrincipalComponents>},
    Statement{"mra", 1, MultipleRegression},
    Statement{"lda", 2, WithoutOptions<LinearDiscriminant>},
    Statement{"mda", 3, WithoutOptions<MahalanobisDiscriminant>},
};

}  // namespace

std::span<const Statement> Statements() { return kStatements; }

const Statement* FindStatement(std::span<const Statement> statements, std::string_view name,
                               int arguments) {
  for (const Statement& statement : statements) {
    if (statement.name == name && statement.arguments == arguments) return &statement;
  }
  return nullptr;
}

}  // namespace tallo
