#pragma once
// Descriptive statistics of one list: single-number answers and the text histogram.

#include <span>
#include <string>

#include "procedures/registry.h"

namespace tallo {

// mean(a)= sum(a)= max(a)= min(a)= sd(a)= se(a)=: "%f" without trailing zeros; nan where
// the list has too few values. count(a)= is the number of values.
std::string MeanAnswer(DataSets data);
std::string SumAnswer(DataSets data);
std::string MaximumAnswer(DataSets data);
std::string MinimumAnswer(DataSets data);
std::string StandardDeviationAnswer(DataSets data);
std::string StandardErrorAnswer(DataSets data);
std::string CountAnswer(DataSets data);

// histogram(a)=
std::string HistogramReport(DataSets data);

// Bins of equal width centred on the mean, the outer two open-ended; one star per value,
// or per n/40 values beyond 80 values. No values give the hyphen line alone.
std::string Histogram(std::span<const double> values);

}  // namespace tallo
