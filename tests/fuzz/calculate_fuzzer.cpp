// libFuzzer target over the engine's entry point.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/calculation_invariant.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string violation = tallo::fuzzing::CheckCalculation(text);
  if (!violation.empty()) {
    std::fprintf(stderr, "calculation invariant violated: %s\n", violation.c_str());
    std::abort();
  }
  return 0;
}
