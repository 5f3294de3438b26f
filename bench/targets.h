#pragma once
// The figures the engine is held to, measured on whole processes (tallo-calc, `wc -w`, R)
// as a user would run them, and printed each against its limit.

#include <string>

namespace tallo::bench {

// Runs the measurements with the tallo-calc at the given path and prints one line per
// figure: what was measured, the limit, and whether it is met.
void PrintTargets(const std::string& tallo_calc);

// Runs a command (null-terminated) with its output going nowhere and writes its processor
// time and peak of memory to standard output, as bytes for PrintTargets to read; for a
// fresh process of this benchmark (--measure), whose own memory is small. Returns the exit
// status: 0 when the command succeeded.
int MeasureCommand(char** command);

}  // namespace tallo::bench
