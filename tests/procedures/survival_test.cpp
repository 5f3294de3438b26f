#include "procedures/survival.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace tallo {
namespace {

std::string Report(Procedure procedure, std::string_view a, std::string_view b,
                   std::string_view d = "") {
  const std::array<std::string_view, 3> texts = {a, b, d};
  return procedure(texts);
}

ValuePairs Subjects(std::vector<double> times, std::vector<double> flags) {
  return {std::move(times), std::move(flags)};
}

// A group table as the driver hands it over: header row, then label, time, flag per row.
constexpr const char* kGroupA = "\ttime\tflag\r\na\t2\t0\r\nb\t4\t1\r\nc\t6\t0\r\nd\t8\t0\r\n";
constexpr const char* kGroupB = "\ttime\tflag\r\ne\t1\t0\r\nf\t3\t0\r\ng\t5\t1\r\n";

TEST(SurvivalSubjects, RowsWithNumericTimeAndFlag) {
  // The header and the label column are not data; a row missing its flag, or holding a
  // word, is dropped whole; blanks inside a cell vanish as in any list.
  const ValuePairs subjects = ReadSubjects(
      "\tweeks\tcensored\r\nr1\t9\t0\r\nr2\t13\r\nr3\tlost\t1\r\n"
      "r4\t2 1\t1\r\nr5\t18\t0\textra\r\n");
  EXPECT_EQ(subjects.x, (std::vector<double>{9, 21, 18}));
  EXPECT_EQ(subjects.y, (std::vector<double>{0, 1, 0}));
  EXPECT_TRUE(ReadSubjects("\ttime\tflag\r\n").x.empty());
  EXPECT_TRUE(ReadSubjects("").x.empty());
}

TEST(KaplanMeier, AgreesWithSurvfitWithoutEventCensoredTies) {
  // R: aml[aml$x == "Nonmaintained", ]; survfit(Surv(time, status) ~ 1); summary(fit,
  // times = d) for S and std.err, summary(fit, rmean = 45)$table["rmean"] for the area.
  const ValuePairs nonmaintained = Subjects({5, 5, 8, 8, 12, 16, 23, 27, 30, 33, 43, 45},
                                            {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0});
  struct Case { double d, survival, se; };
  const Case cases[] = {{12, 0.583333333333, 0.142318760638},
                        {30, 0.291666666667, 0.138715169135},
                        {5, 10.0 / 12, 0.107582870728}};  // R: summary(fit, times = 5)
  for (const Case& c : cases) {
    const auto estimate = EstimateKaplanMeier(nonmaintained, c.d);
    ASSERT_TRUE(estimate);
    EXPECT_NEAR(estimate->mean_survival, 22.708333333333, 1e-9) << c.d;
    EXPECT_NEAR(estimate->survival_at_time, c.survival, 1e-11) << c.d;
    EXPECT_NEAR(estimate->standard_error, c.se, 1e-11) << c.d;
  }
}

TEST(KaplanMeier, TiedEventCountsBeforeTheCensoredSubject) {
  // aml, maintained arm: 13 (relapse) and 13+ (censored), written in either order; the
  // relapse counts first, with 10 at risk, as survfit counts it.
  // R: summary(survfit(...), times = 13): S 0.818181818182, std.err 0.116291299830;
  // summary(fit, rmean = 161)$table["rmean"] 52.6454545455.
  for (const std::vector<double>& flags :
       {std::vector<double>{0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1},
        std::vector<double>{0, 1, 0, 0, 0, 1, 0, 0, 1, 0, 1}}) {
    const auto survfit =
        EstimateKaplanMeier(Subjects({9, 13, 13, 18, 23, 28, 31, 34, 45, 48, 161}, flags), 13);
    ASSERT_TRUE(survfit);
    EXPECT_NEAR(survfit->survival_at_time, 9.0 / 11, 1e-12);
    EXPECT_NEAR(survfit->standard_error, 0.116291299830, 1e-11);
    EXPECT_NEAR(survfit->mean_survival, 52.6454545455, 1e-9);
  }
}

TEST(KaplanMeier, RecordingRuleForTheTimePoint) {
  // Times 2, 4+, 6, 8. By hand: S after the subjects 3/4, 3/4, 3/8, 0; Greenwood sums
  // 1/12, 1/12, 7/12, then 0 at the last subject.
  const ValuePairs group = Subjects({6, 2, 8, 4}, {0, 0, 0, 1});
  struct Case { double d, survival, se; };
  const Case cases[] = {
      {1, 0.75, 0.75 * std::sqrt(1.0 / 12)},  // before every time: after the first subject
      {2, 0.75, 0.75 * std::sqrt(1.0 / 12)},  // at a time: after that time
      {5.5, 0.75, 0.75 * std::sqrt(1.0 / 12)},
      {6, 0.375, 0.375 * std::sqrt(7.0 / 12)},
      {7.9, 0.375, 0.375 * std::sqrt(7.0 / 12)},
      {8, 0, 0},    // at the last time: final S, SE 0
      {100, 0, 0},  // beyond it
  };
  for (const Case& c : cases) {
    const auto estimate = EstimateKaplanMeier(group, c.d);
    ASSERT_TRUE(estimate);
    EXPECT_DOUBLE_EQ(estimate->survival_at_time, c.survival) << c.d;
    EXPECT_DOUBLE_EQ(estimate->standard_error, c.se) << c.d;
    // 2 + 2 * 3/4 + 2 * 3/4 + 2 * 3/8; R: summary(fit, rmean = 8) gives 5.75.
    EXPECT_DOUBLE_EQ(estimate->mean_survival, 5.75) << c.d;
  }
}

TEST(KaplanMeier, LastSubjectCensoredHasStandardErrorZero) {
  // Times 1, 3, 5+: S(5) = 1/3 by hand; survfit's Greenwood SE there is 0.2722, but the
  // sum is cleared at the last subject.
  const auto estimate = EstimateKaplanMeier(Subjects({1, 3, 5}, {0, 0, 1}), 5);
  ASSERT_TRUE(estimate);
  EXPECT_DOUBLE_EQ(estimate->survival_at_time, 1.0 / 3);
  EXPECT_EQ(estimate->standard_error, 0);
  EXPECT_DOUBLE_EQ(estimate->mean_survival, 3);  // 1 + 2 * 2/3 + 2 * 1/3
}

TEST(KaplanMeierReport, Layout) {
  // Group A as above at d = 5: S 0.75, SE 0.75/sqrt(12) = 0.2165 (R: survfit std.err),
  // area 5.75. Group B (1, 3, 5+): S(5) = 1/3 and SE 0 at the last subject, area 3.
  // z = (0.75 - 1/3) / 0.2165 = 1.9245, below 1.95996.
  EXPECT_EQ(Report(KaplanMeierReport, kGroupA, kGroupB, "5"),
            "--- Kaplan-Meier test ----------------------\r\n"
            "Average span of life 5.750\tS(5)=0.750\tSE(5)=0.217\r\n"
            "Average span of life 3.000\tS(5)=0.333\tSE(5)=0.000\r\n"
            "Ncal=1.925\tp<0.10\r\n");
  // The time point is the leading number of the third data set's text.
  EXPECT_EQ(Report(KaplanMeierReport, kGroupA, kGroupB, "\r\n5\r\n"),
            Report(KaplanMeierReport, kGroupA, kGroupB, "5"));
}

TEST(KaplanMeierReport, GroupWithoutCompleteRowSaysNoData) {
  EXPECT_EQ(Report(KaplanMeierReport, "", "", "12"),
            "--- Kaplan-Meier test ----------------------\r\n"
            "Average span of life no data\tS(12)=no data\tSE(12)=no data\r\n"
            "Average span of life no data\tS(12)=no data\tSE(12)=no data\r\n"
            "Ncal=0.000\tn.s\r\n");
}

TEST(Gehan, ScoresOfTiesAndCensoring) {
  struct Case { const char* what; ValuePairs a, b; double w; };
  const Case cases[] = {
      {"event in A, censored in B at the same time", Subjects({5}, {0}), Subjects({5}, {1}), -1},
      {"censored in A, event in B at the same time", Subjects({5}, {1}), Subjects({5}, {0}), 1},
      {"events at the same time", Subjects({5}, {0}), Subjects({5}, {0}), 0},
      {"both censored", Subjects({3}, {1}), Subjects({5}, {1}), 0},
      {"censored before the other's event", Subjects({3}, {1}), Subjects({5}, {0}), 0},
      {"event before the other's censoring", Subjects({3}, {0}), Subjects({5}, {1}), -1},
      {"later event", Subjects({7}, {0}), Subjects({5}, {0}), 1},
      {"flag neither 0 nor 1", Subjects({3, 4}, {2, 0.5}), Subjects({5, 1}, {0, 0}), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(GehanWilcoxon(c.a, c.b).w, c.w) << c.what;
}

TEST(Gehan, AgreesWithTheDirectFormula) {
  // R: W = sum of score(u, v) over u in A, v in B; U_k = sum over l != k of the pooled
  // scores; V = nA nB / ((N - 1) N) * sum(U^2), written out with outer() and sapply().
  struct Case { const char* what; ValuePairs a, b; double w, v; };
  const Case cases[] = {
      {"small, by hand too: U = -6 -4 -2 3 3 2 4", Subjects({2, 4, 6, 8}, {0, 1, 0, 0}),
       Subjects({1, 3, 5}, {0, 0, 1}), 5, 12.0 / 42 * 94},
      {"aml maintained against nonmaintained",
       Subjects({9, 13, 13, 18, 23, 28, 31, 34, 45, 48, 161}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1}),
       Subjects({5, 5, 8, 8, 12, 16, 23, 27, 30, 33, 43, 45}, {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}),
       50, 912},
  };
  for (const Case& c : cases) {
    const GehanStatistic forward = GehanWilcoxon(c.a, c.b);
    EXPECT_EQ(forward.w, c.w) << c.what;
    EXPECT_NEAR(forward.v, c.v, 1e-8) << c.what;
    const GehanStatistic backward = GehanWilcoxon(c.b, c.a);
    EXPECT_EQ(backward.w, -c.w) << c.what;
    EXPECT_NEAR(backward.v, c.v, 1e-8) << c.what;
  }
}

TEST(GeneralizedWilcoxonReport, Layout) {
  // W 5, V 12/42 * 94 = 26.857, z = 5 / sqrt(V) = 0.9648 (R: direct formula).
  EXPECT_EQ(Report(GeneralizedWilcoxonReport, kGroupA, kGroupB),
            "--- Generalized Wilcoxon -----------------\r\n"
            "W=5.000\tV=26.857\tNcal=0.965\tn.s\r\n");
}

TEST(NormalSignificance, SwitchesAtTheTwoSidedPoints) {
  // R: qnorm(1 - c(0.05, 0.025, 0.01, 0.005)) = 1.644854 1.959964 2.326348 2.575829.
  struct Case { double z; const char* label; };
  const Case cases[] = {{0, "n.s"},          {1.64484, "n.s"},     {1.64485, "p<0.10"},
                        {1.95995, "p<0.10"}, {1.95996, "p<0.05"},  {2.32634, "p<0.05"},
                        {2.32635, "p<0.02"}, {2.57582, "p<0.02"},  {2.57583, "p<0.01"},
                        {40, "p<0.01"},      {std::nan(""), "n.s"}};
  for (const Case& c : cases) EXPECT_EQ(NormalSignificance(c.z), c.label) << c.z;
}

}  // namespace
}  // namespace tallo
