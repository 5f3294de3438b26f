// libFuzzer target: wherever the direct evaluator answers an expression, its answer must
// be the reducer's.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/direct_evaluator.h"
#include "engine/pre_pass.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::string expression = std::string(reinterpret_cast<const char*>(data), size) + "=";
  const std::optional<std::string> direct = tallo::EvaluateDirectly(expression);
  if (direct && *direct != tallo::ReducerAnswer(expression)) {
    std::fprintf(stderr, "direct answer %s differs from the reducer's %s\n", direct->c_str(),
                 tallo::ReducerAnswer(expression).c_str());
    std::abort();
  }
  return 0;
}
