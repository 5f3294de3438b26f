#include "engine/functions.h"

#include <array>
#include <cmath>

#include "numeric/distributions.h"
#include "text/number_text.h"

namespace tallo {
namespace {

// n! as the product n (n-1) ... 1; 1 for n <= 1. The product stops growing once it has
// overflowed, so a huge n costs nothing.
double Factorial(long long n) {
  double product = 1;
  for (long long v = n; v > 1 && std::isfinite(product); --v) product *= static_cast<double>(v);
  return product;
}

double Permutations(long long n, long long r) { return Factorial(n) / Factorial(n - r); }

double Combinations(long long n, long long r) {
  return Factorial(n) / Factorial(r) / Factorial(n - r);
}

// Real arguments are read as atof reads them, whole ones as atoi.
double Real(std::string_view x) { return ParseReal(x); }
long long Whole(std::string_view x) { return ParseInteger(x); }

using Args = std::string_view;
const std::array<Function, 18> kFunctions = {{
    {"sqrt(", 1, true, [](Args x, Args) { return std::sqrt(Real(x)); }},
    {"log(", 1, true, [](Args x, Args) { return std::log(Real(x)); }},
    {"loge(", 1, true, [](Args x, Args) { return std::log(Real(x)); }},
    {"logd(", 1, true, [](Args x, Args) { return std::log10(Real(x)); }},
    {"abs(", 1, false, [](Args x, Args) { return std::fabs(Real(x)); }},
    {"pow(", 2, false, [](Args x, Args y) { return std::pow(Real(x), Real(y)); }},
    {"exp(", 1, false, [](Args x, Args) { return std::exp(Real(x)); }},
    {"sin(", 1, false, [](Args x, Args) { return std::sin(Real(x)); }},
    {"asin(", 1, false, [](Args x, Args) { return std::asin(Real(x)); }},
    {"cos(", 1, false, [](Args x, Args) { return std::cos(Real(x)); }},
    {"acos(", 1, false, [](Args x, Args) { return std::acos(Real(x)); }},
    {"tan(", 1, false, [](Args x, Args) { return std::tan(Real(x)); }},
    {"atan(", 1, false, [](Args x, Args) { return std::atan(Real(x)); }},
    {"probt(", 2, false, [](Args t, Args df) { return ProbT(Real(t), ParseInteger(df)); }},
    {"n(", 1, false, [](Args n, Args) { return Factorial(Whole(n)); }},
    {"nPr(", 2, false, [](Args n, Args r) { return Permutations(Whole(n), Whole(r)); }},
    {"nCr(", 2, false, [](Args n, Args r) { return Combinations(Whole(n), Whole(r)); }},
    {"nHr(", 2, false, [](Args n, Args r) { return Combinations(Whole(n) + Whole(r) - 1, Whole(r)); }},
}};

}  // namespace

std::span<const Function> Functions() { return kFunctions; }

const Function* FindFunction(std::string_view token) {
  for (const Function& function : kFunctions) {
    if (function.token == token) return &function;
  }
  return nullptr;
}

}  // namespace tallo
