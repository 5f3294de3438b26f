#include "procedures/survival.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

#include "numeric/critical_values.h"
#include "numeric/p_values.h"
#include "numeric/ranking.h"
#include "numeric/summary.h"
#include "text/number_text.h"

namespace tallo {
namespace {

// Both survival tests label a standard normal statistic, with a lower-case p.
constexpr SignificanceLabels kNormalLabels = {"n.s", {"p<0.10", "p<0.05", "p<0.02", "p<0.01"}};

// One group's line; a group without subjects has no numbers, and "no data" stands in their place.
void AppendGroupLine(std::string& report, const std::optional<KaplanMeierEstimate>& estimate,
                     double d) {
  if (estimate) {
    AppendFormat(report, "Average span of life %0.3f\tS(%0.0f)=%0.3f\tSE(%0.0f)=%0.3f\r\n",
                 estimate->mean_survival, d, estimate->survival_at_time, d,
                 estimate->standard_error);
  } else {
    AppendFormat(report,
                 "Average span of life no data\tS(%0.0f)=no data\tSE(%0.0f)=no data\r\n", d, d);
  }
}

// Normal statistic of S_A(d) - S_B(d); 0 when a group has no estimate or both standard
// errors are 0.
double SurvivalDifferenceZ(const std::optional<KaplanMeierEstimate>& a,
                           const std::optional<KaplanMeierEstimate>& b) {
  if (!a || !b) return 0;
  const double q = PowInt(a->standard_error, 2) + PowInt(b->standard_error, 2);
  if (q == 0) return 0;
  return std::fabs(a->survival_at_time - b->survival_at_time) / std::sqrt(q);
}

// Times of the events (flag 0) and of the censored subjects (flag 1) of some groups, each
// ascending. A subject with any other flag scores nothing against anyone and is left out.
struct Outcomes {
  std::vector<double> events;
  std::vector<double> censored;
};

Outcomes SortedOutcomes(std::initializer_list<const ValuePairs*> groups) {
  Outcomes outcomes;
  for (const ValuePairs* group : groups) {
    for (std::size_t i = 0; i < group->x.size(); ++i) {
      if (group->y[i] == 0) outcomes.events.push_back(group->x[i]);
      if (group->y[i] == 1) outcomes.censored.push_back(group->x[i]);
    }
  }
  SortValues(outcomes.events);
  SortValues(outcomes.censored);
  return outcomes;
}

double CountBelow(const std::vector<double>& sorted, double time) {
  return static_cast<double>(std::lower_bound(sorted.begin(), sorted.end(), time) - sorted.begin());
}

double CountAtOrBelow(const std::vector<double>& sorted, double time) {
  return static_cast<double>(std::upper_bound(sorted.begin(), sorted.end(), time) - sorted.begin());
}

// Gehan's scores of one subject summed over the subjects of others. An event scores +1
// against every earlier event, -1 against every later event and -1 against every subject
// censored at or after its time; a censored subject scores +1 against every event at or
// before its time. Equal events, two censored subjects, and a censored subject against a
// later event score 0, so a subject scores 0 against itself.
double ScoreAgainst(double time, double flag, const Outcomes& others) {
  const double events = static_cast<double>(others.events.size());
  const double censored = static_cast<double>(others.censored.size());
  if (flag == 0) {
    return CountBelow(others.events, time) - (events - CountAtOrBelow(others.events, time)) -
           (censored - CountBelow(others.censored, time));
  }
  if (flag == 1) return CountAtOrBelow(others.events, time);
  return 0;
}

}  // namespace

std::string_view NormalSignificance(double z) {
  return LabelByCriticalValue(z, NormalCritical, kNormalLabels);
}

ValuePairs ReadSubjects(const CellGrid& grid) {
  return PairItems(ReadColumnItems(grid, 1), ReadColumnItems(grid, 2));
}

std::optional<KaplanMeierEstimate> EstimateKaplanMeier(ValuePairs subjects, double d) {
  const std::size_t n = subjects.x.size();
  if (n == 0) return std::nullopt;
  // Ascending times, and at a tied time the events (flag 0) before the censored subjects,
  // who were still at risk at it; so the order of the rows never shows in the estimate.
  std::vector<std::pair<double, double>> ordered(n);
  for (std::size_t i = 0; i < n; ++i) ordered[i] = {subjects.x[i], subjects.y[i]};
  std::sort(ordered.begin(), ordered.end());
  std::vector<double> times(n);
  std::vector<double> flags(n);
  for (std::size_t i = 0; i < n; ++i) std::tie(times[i], flags[i]) = ordered[i];

  // Before the first time nobody has had an event: S(d) is 1, with no error, for a d there.
  KaplanMeierEstimate estimate{times[0], 1, 0};
  double survival = 1;
  double greenwood = 0;
  bool recording = !(d < times[0]);
  for (std::size_t i = 0; i < n; ++i) {
    const bool last = i + 1 == n;
    const double later = static_cast<double>(n - i - 1);  // subjects after this one
    // An event leaves later/(later + 1) of those at risk; a censored subject leaves all.
    survival = (later + flags[i]) * survival / (later + 1);
    // Greenwood's sum over the events, d / (n (n - d)) each; an event of the last subject
    // leaves S at 0, whose error is 0, and a censored last subject adds nothing.
    if (!last) greenwood += (1 - flags[i]) / ((later + 1) * later);
    const double variance = PowInt(survival, 2) * greenwood;
    const double se = survival != 0 && variance > 0 ? std::sqrt(variance) : 0;
    if (!last) estimate.mean_survival += (times[i + 1] - times[i]) * survival;
    if (recording) {
      estimate.survival_at_time = survival;
      estimate.standard_error = se;
      recording = !last && !(d < times[i + 1]);
    }
  }
  return estimate;
}

GehanStatistic GehanWilcoxon(const ValuePairs& a, const ValuePairs& b) {
  const Outcomes of_b = SortedOutcomes({&b});
  double w = 0;
  for (std::size_t i = 0; i < a.x.size(); ++i) w += ScoreAgainst(a.x[i], a.y[i], of_b);

  const Outcomes pooled = SortedOutcomes({&a, &b});
  double sum_of_squares = 0;
  for (const ValuePairs* group : {&a, &b}) {
    for (std::size_t i = 0; i < group->x.size(); ++i) {
      sum_of_squares += PowInt(ScoreAgainst(group->x[i], group->y[i], pooled), 2);
    }
  }
  const double n_a = static_cast<double>(a.x.size());
  const double n_b = static_cast<double>(b.x.size());
  const double n = n_a + n_b;
  return {w, n_a * n_b / ((n - 1) * n) * sum_of_squares};
}

std::string KaplanMeierReport(DataSets data, const ReportOptions& options) {
  const double d = ParseReal(data[2]->text());
  const std::optional<KaplanMeierEstimate> a = EstimateKaplanMeier(ReadSubjects(data[0]->table()), d);
  const std::optional<KaplanMeierEstimate> b = EstimateKaplanMeier(ReadSubjects(data[1]->table()), d);
  const double z = SurvivalDifferenceZ(a, b);

  std::string report = "--- Kaplan-Meier test ----------------------\r\n";
  AppendGroupLine(report, a, d);
  AppendGroupLine(report, b, d);
  AppendFormat(report, "Ncal=%0.3f\t%s\r\n", z, NormalSignificance(z));
  AppendPValue(report, options, [z] { return NormalTwoSidedP(z); });
  return report;
}

std::string GeneralizedWilcoxonReport(DataSets data, const ReportOptions& options) {
  const GehanStatistic gehan = GehanWilcoxon(ReadSubjects(data[0]->table()), ReadSubjects(data[1]->table()));
  const double z = gehan.v == 0 ? 0 : std::fabs(gehan.w) / std::sqrt(gehan.v);
  std::string report = "--- Generalized Wilcoxon -----------------\r\n";
  AppendFormat(report, "W=%0.3f\tV=%0.3f\tNcal=%0.3f\t%s\r\n", gehan.w, gehan.v, z,
               NormalSignificance(z));
  AppendPValue(report, options, [z] { return NormalTwoSidedP(z); });
  return report;
}

}  // namespace tallo
