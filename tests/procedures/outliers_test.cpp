#include "procedures/outliers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tallo {
namespace {

constexpr const char* kHeader =
    "---Smirnov's Test & Thompson's Test----\r\n\t\tTo=\tSmirnov\tThompson\r\n";

TEST(OutlierTests, ValuesInInputOrder) {
  // 10, -2, 4, 4: mean 4, deviations 6, 6, 0, 0, sd sqrt(72 / 4) = sqrt(18) = 4.2426;
  // To = 1.41 for the first two, below every n = 4 entry (1.65 at the least).
  EXPECT_EQ(OutlierTests(std::vector<double>{10, -2, 4, 4}),
            std::string(kHeader) +
                "10.000\t\t1.41\tn.s\tn.s\r\n"
                "-2.000\t\t1.41\tn.s\tn.s\r\n"
                "4.000\t\t0.00\tn.s\tn.s\r\n"
                "4.000\t\t0.00\tn.s\tn.s\r\n"
                "mean=4.000\tsd=4.243\r\n");
}

TEST(OutlierLabels, SwitchExactlyAtTheTableValues) {
  // Entries of the Smirnov (5%, 1%) and Thompson (5%, 1%) tables for n = 4, 5, 6, 14, 24
  // and 25; the n = 25 entries serve every larger sample.
  struct Row { std::size_t n; double smirnov5, smirnov1, thompson5, thompson1; };
  const Row rows[] = {{4, 1.69, 1.72, 1.65, 1.71},   {5, 1.86, 1.96, 1.76, 1.92},
                      {6, 2.0, 2.13, 1.81, 2.05},    {14, 2.46, 2.76, 1.92, 2.38},
                      {24, 2.7, 3.05, 1.94, 2.47},   {25, 2.72, 3.07, 1.94, 2.47},
                      {40, 2.72, 3.07, 1.94, 2.47},  {500, 2.72, 3.07, 1.94, 2.47}};
  for (const Row& r : rows) {
    const auto below = [](double x) { return std::nextafter(x, 0.0); };
    EXPECT_EQ(LabelOutlier(r.n, below(r.smirnov5)).smirnov, "n.s") << r.n;
    EXPECT_EQ(LabelOutlier(r.n, r.smirnov5).smirnov, "P<0.05") << r.n;
    EXPECT_EQ(LabelOutlier(r.n, below(r.smirnov1)).smirnov, "P<0.05") << r.n;
    EXPECT_EQ(LabelOutlier(r.n, r.smirnov1).smirnov, "P<0.01") << r.n;
    EXPECT_EQ(LabelOutlier(r.n, below(r.thompson5)).thompson, "n.s") << r.n;
    EXPECT_EQ(LabelOutlier(r.n, r.thompson5).thompson, "P<0.05") << r.n;
    EXPECT_EQ(LabelOutlier(r.n, below(r.thompson1)).thompson, "P<0.05") << r.n;
    EXPECT_EQ(LabelOutlier(r.n, r.thompson1).thompson, "P<0.01") << r.n;
  }
}

TEST(OutlierLabels, BelowFourValuesNothingIsSignificant) {
  for (std::size_t n : {0, 1, 2, 3}) {
    EXPECT_EQ(LabelOutlier(n, 100).smirnov, "n.s") << n;
    EXPECT_EQ(LabelOutlier(n, 100).thompson, "n.s") << n;
  }
  // 1, 2, 30: To of 30 is 1.41 by hand, but three values are never judged.
  const std::string report = OutlierTests(std::vector<double>{1, 2, 30});
  EXPECT_EQ(report.find("P<"), std::string::npos) << report;
}

}  // namespace
}  // namespace tallo
