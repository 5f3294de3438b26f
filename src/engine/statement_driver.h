#pragma once
// The statement driver: one left-to-right scan that records every data set name={...} it
// passes and answers every statement proc(a)=, proc(a,b)= or proc(a,b,c)= whose "=" is
// followed by a blank, a line end or the end of the text, using the data sets defined
// before it.

#include <string_view>
#include <vector>

#include "engine/found_reason.h"
#include "engine/insertions.h"
#include "procedures/registry.h"

namespace tallo {

// The reports of a worksheet text (CR LF line ends), each directly after its statement's
// "=", in text order; statements are looked up in the given table and write their reports
// with the given options. With reasons given, a statement or definition that does not do
// what it was written for adds why.
std::vector<Insertion> RunStatementDriver(std::string_view text,
                                          std::span<const Statement> statements = Statements(),
                                          const ReportOptions& options = {},
                                          FoundReasons* reasons = nullptr);

}  // namespace tallo
