#pragma once
// Descriptive statistics of one list: single-number answers and the text histogram.

#include <span>
#include <string>

#include "procedures/registry.h"

namespace tallo {

// mean(a)= sum(a)= max(a)= min(a)= sd(a)= se(a)=: "%f" without trailing zeros; nan where
// the list has too few values. count(a)= is the number of values.
std::string MeanAnswer(DataTexts data);
std::string SumAnswer(DataTexts data);
std::string MaximumAnswer(DataTexts data);
std::string MinimumAnswer(DataTexts data);
std::string StandardDeviationAnswer(DataTexts data);
std::string StandardErrorAnswer(DataTexts data);
std::string CountAnswer(DataTexts data);

// histogram(a)=
std::string HistogramReport(DataTexts data);

// Bins of equal width centred on the mean, the outer two open-ended; one star per value,
// or per n/40 values beyond 80 values. No values give the hyphen line alone.
std::string Histogram(std::span<const double> values);

}  // namespace tallo
