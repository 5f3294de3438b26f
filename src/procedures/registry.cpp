#include "procedures/registry.h"

#include <array>

#include "procedures/curve_fit.h"
#include "procedures/descriptive.h"
#include "procedures/multivariate.h"
#include "procedures/regression.h"

namespace tallo {
namespace {

constexpr std::array kStatements = {
    Statement{"mean", 1, MeanAnswer},
    Statement{"sd", 1, StandardDeviationAnswer},
    Statement{"se", 1, StandardErrorAnswer},
    Statement{"sum", 1, SumAnswer},
    Statement{"count", 1, CountAnswer},
    Statement{"max", 1, MaximumAnswer},
    Statement{"min", 1, MinimumAnswer},
    Statement{"histogram", 1, HistogramReport},
    Statement{"lsq", 3, LeastSquaresFit},
    Statement{"vcmtrx", 1, VarCovMatrix},
    Statement{"eigenvv", 1, EigenOfCovariance},
    Statement{"eigenvc", 1, EigenOfCorrelation},
    Statement{"pca", 1, PrincipalComponents},
    Statement{"mra", 1, MultipleRegression},
    Statement{"lda", 2, LinearDiscriminant},
    Statement{"mda", 3, MahalanobisDiscriminant},
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
