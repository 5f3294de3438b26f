// libFuzzer target: the quick paths read an expression as the full ones do wherever they
// read it at all. The direct evaluator answers as the reducer does, and the pre-pass answers
// a worksheet the same with its one-pass reading as with the full extraction alone.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/direct_evaluator.h"
#include "engine/pre_pass.h"

namespace {

std::string PrePassAnswers(const std::string& text, bool one_pass) {
  std::string answers;
  tallo::RunPrePass(
      text,
      [&](std::size_t offset, std::string_view answer) {
        answers += std::to_string(offset) + ":" + std::string(answer) + "\n";
      },
      nullptr, nullptr, one_pass);
  return answers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string expression = text + "=";
  const std::optional<std::string> direct = tallo::EvaluateDirectly(expression);
  if (direct && *direct != tallo::ReducerAnswer(expression)) {
    std::fprintf(stderr, "direct answer %s differs from the reducer's %s\n", direct->c_str(),
                 tallo::ReducerAnswer(expression).c_str());
    std::abort();
  }
  const std::string worksheet = "x=13.5 y=-2 k=5-3 e=2\n" + expression;
  if (PrePassAnswers(worksheet, true) != PrePassAnswers(worksheet, false)) {
    std::fprintf(stderr, "the one-pass reading answers otherwise than the full extraction\n");
    std::abort();
  }
  return 0;
}
