#pragma once
// The statement driver: one left-to-right scan that records every data set name={...} it
// passes and answers every statement proc(a)=, proc(a,b)= or proc(a,b,c)= whose "=" is
// followed by a blank, a line end or the end of the text, using the data sets defined
// before it.

#include <cstddef>
#include <functional>
#include <string_view>

#include "engine/answers.h"
#include "engine/calculation_counts.h"
#include "engine/found_reason.h"
#include "procedures/registry.h"

namespace tallo {

// Takes each report: the input offset it is inserted at (right after its statement's "=")
// and its text, with CR LF line ends.
using ReportSink = std::function<void(std::size_t offset, std::string_view report)>;

// Hands the reports of a worksheet text, with the pre-pass answers in place, to report_sink
// in text order; statements are looked up in the given table and write their reports with
// the given options. With reasons given, a statement or definition that does not do what it
// was written for adds why, at the offset of its "=" in text. The data sets' readings are
// kept for the statements that use them again, within reading_budget bytes: past it the
// least recently used are dropped, to be read again if a statement further down asks.
void RunStatementDriver(std::string_view text, const Answers& answers,
                        std::span<const Statement> statements, const ReportOptions& options,
                        std::size_t reading_budget, const ReportSink& report_sink,
                        FoundReasons* reasons = nullptr, CalculationCounts* counts = nullptr);

}  // namespace tallo
