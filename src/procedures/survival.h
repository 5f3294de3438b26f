#pragma once
// Survival of two groups, each a table of subjects: a label column, then the survival time
// and a censoring flag (0 for an observed event, 1 for a censored subject).

#include <optional>
#include <span>
#include <string>

#include "procedures/registry.h"
#include "text/data_readers.h"

namespace tallo {

// kapmrtest(tableA,tableB,d)=
std::string KaplanMeierReport(DataSets data, const ReportOptions& options);
// genwxtest(tableA,tableB)=
std::string GeneralizedWilcoxonReport(DataSets data, const ReportOptions& options);

// The subjects of a group table: the rows from row 1 on whose time (column 1) and flag
// (column 2) are both numeric; x holds the times and y the flags.
ValuePairs ReadSubjects(const CellGrid& grid);

// Kaplan-Meier estimates of one group as the report gives them.
struct KaplanMeierEstimate {
  double mean_survival;     // area under the estimated curve from 0 to the last time
  double survival_at_time;  // S(d)
  double standard_error;    // SE(d), Greenwood
};

// The estimate of a group at time d, or nothing for a group without subjects. Subjects are
// taken in ascending order of time, at a tied time the events before the censored subjects,
// and each tied subject counts as a step of its own. S(d) and SE(d) are the
// values after the first subject whose successor comes later than d (after the first
// subject even when d precedes every time), or after the last subject. The Greenwood sum
// is 0 at the last subject, so the last SE is 0.
std::optional<KaplanMeierEstimate> EstimateKaplanMeier(ValuePairs subjects, double d);

// Gehan's generalised Wilcoxon statistic W of group A against group B and its
// permutational variance V.
struct GehanStatistic {
  double w;
  double v;
};
GehanStatistic GehanWilcoxon(const ValuePairs& a, const ValuePairs& b);

// The label of either test's normal statistic z: "n.s", or "p<0.10" ... "p<0.01" from the
// two-sided normal points on (z at a point reaches it).
std::string_view NormalSignificance(double z);

}  // namespace tallo
