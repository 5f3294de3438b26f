#include "engine/functions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "numeric/distributions.h"
#include "text/number_text.h"

namespace tallo {
namespace {

constexpr double kNoNumber = std::numeric_limits<double>::quiet_NaN();

// n! as the product n (n-1) ... 1, for n of 0 or more; a negative number has no factorial.
// The product stops growing once it has overflowed, so a huge n costs nothing.
double Factorial(long long n) {
  if (n < 0) return kNoNumber;
  double product = 1;
  for (long long v = n; v > 1 && std::isfinite(product); --v) product *= static_cast<double>(v);
  return product;
}

// The ways of taking r of n things: none when r exceeds n, no number for negative counts.
double Permutations(long long n, long long r) {
  if (n < 0 || r < 0) return kNoNumber;
  return r > n ? 0 : Factorial(n) / Factorial(n - r);
}

double Combinations(long long n, long long r) {
  if (n < 0 || r < 0) return kNoNumber;
  return r > n ? 0 : Factorial(n) / Factorial(r) / Factorial(n - r);
}

// Combinations with repetition, (n + r - 1 choose r); taking none is one way, even of none.
double CombinationsWithRepetition(long long n, long long r) {
  if (n < 0 || r < 0) return kNoNumber;
  return r == 0 ? 1 : Combinations(n + r - 1, r);
}

// Student's t has no distribution below one degree of freedom.
double TwoSidedT(double t, long long df) {
  if (df < 1) return kNoNumber;
  return ProbT(t, static_cast<int>(std::min<long long>(df, std::numeric_limits<int>::max())));
}

double Real(const Argument& x) { return x.value; }
long long Whole(const Argument& x) {
  if (x.sign == '\0' && !x.written.empty()) return ParseInteger(x.written);  // no copy
  std::string text;
  AppendWrittenText(text, x);
  return ParseInteger(text);
}

using Args = const Argument&;
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
    {"probt(", 2, false, [](Args t, Args df) { return TwoSidedT(Real(t), Whole(df)); }},
    {"n(", 1, false, [](Args n, Args) { return Factorial(Whole(n)); }},
    {"nPr(", 2, false, [](Args n, Args r) { return Permutations(Whole(n), Whole(r)); }},
    {"nCr(", 2, false, [](Args n, Args r) { return Combinations(Whole(n), Whole(r)); }},
    {"nHr(", 2, false,
     [](Args n, Args r) { return CombinationsWithRepetition(Whole(n), Whole(r)); }},
}};

}  // namespace

void AppendWrittenText(std::string& out, const Argument& x) {
  if (x.written.empty()) return AppendGeneral(out, x.value);
  if (x.sign != '\0') out += x.sign;
  out += x.written;
}

std::span<const Function> Functions() { return kFunctions; }

const Function* FindFunction(std::string_view token) {
  // The length and the first character rule out most functions; the rest of a name, a few
  // characters, is compared in place rather than by a library call.
  for (const Function& function : kFunctions) {
    const std::string_view name = function.token;
    if (name.size() != token.size() || name[0] != token[0]) continue;
    std::size_t same = 1;
    while (same < name.size() && name[same] == token[same]) ++same;
    if (same == name.size()) return &function;
  }
  return nullptr;
}

}  // namespace tallo
