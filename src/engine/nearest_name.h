#pragma once
// The "did you mean" of a reason: the known name closest to one that is not known.

#include <string>
#include <string_view>

namespace tallo {

// Collects candidate names and keeps the one nearest to a wanted name: a name other tools
// use for the same thing ("ln" is "log" here, "log10" is "logd"), then the same letters in
// another case ("Mean"), then one or two letters typed wrong, missing or extra ("dta").
// Among equally near candidates the alphabetically first wins, so the choice does not
// depend on the order they come in.
class NearestName {
 public:
  explicit NearestName(std::string_view wanted) : wanted_(wanted) {}

  void Consider(std::string_view candidate);

  // The nearest candidate, or empty when none is near enough.
  const std::string& best() const { return best_; }

 private:
  std::string_view wanted_;
  std::string best_;
  int best_distance_ = 0;
};

}  // namespace tallo
