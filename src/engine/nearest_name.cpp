#include "engine/nearest_name.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>
#include <vector>

namespace tallo {
namespace {

// Names of other calculators and statistics tools, and the names this worksheet uses.
constexpr std::array<std::pair<std::string_view, std::string_view>, 17> kOtherNames = {{
    {"ln", "log"},
    {"log10", "logd"},
    {"lg", "logd"},
    {"power", "pow"},
    {"fabs", "abs"},
    {"fact", "n"},
    {"factorial", "n"},
    {"choose", "nCr"},
    {"arcsin", "asin"},
    {"arccos", "acos"},
    {"arctan", "atan"},
    {"avg", "mean"},
    {"average", "mean"},
    {"stdev", "sd"},
    {"std", "sd"},
    {"maximum", "max"},
    {"minimum", "min"},
}};

// Distances: 0 for another tool's name, 1 for another case, 2 + the edits otherwise.
constexpr int kOtherName = 0;
constexpr int kOtherCase = 1;
constexpr int kEdits = 2;

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Edits from a to b, a letter inserted, deleted, replaced, or two neighbours swapped
// ("ttset"), by the rows of the table (optimal string alignment).
int EditDistance(std::string_view a, std::string_view b) {
  std::vector<int> before(b.size() + 1);  // the row two above
  std::vector<int> above(b.size() + 1);
  std::vector<int> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) above[j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    row[0] = static_cast<int>(i);
    for (std::size_t j = 1; j <= b.size(); ++j) {
      row[j] =
          std::min({above[j] + 1, row[j - 1] + 1, above[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        row[j] = std::min(row[j], before[j - 2] + 1);
      }
    }
    std::swap(before, above);
    std::swap(above, row);
  }
  return above[b.size()];
}

// How near a candidate is, or -1 when it is too far to be meant: one edit in a short name,
// two in a name of six letters or more.
int Distance(std::string_view wanted, std::string_view candidate) {
  for (const auto& [other, ours] : kOtherNames) {
    if (other == wanted && ours == candidate) return kOtherName;
  }
  if (EqualIgnoringCase(wanted, candidate)) return kOtherCase;
  const std::size_t longer = std::max(wanted.size(), candidate.size());
  const int allowed = longer >= 6 ? 2 : longer >= 3 ? 1 : 0;
  const std::size_t gap =
      std::max(wanted.size(), candidate.size()) - std::min(wanted.size(), candidate.size());
  if (gap > static_cast<std::size_t>(allowed)) return -1;
  const int edits = EditDistance(wanted, candidate);
  return edits <= allowed ? kEdits + edits : -1;
}

}  // namespace

void NearestName::Consider(std::string_view candidate) {
  if (candidate == wanted_) return;
  const int distance = Distance(wanted_, candidate);
  if (distance < 0) return;
  if (best_.empty() || distance < best_distance_ ||
      (distance == best_distance_ && candidate < best_)) {
    best_.assign(candidate);
    best_distance_ = distance;
  }
}

}  // namespace tallo
