// libFuzzer target: the quick paths read an expression as the full ones do wherever they
// read it at all. The direct evaluator answers as the reducer does, and the one-pass
// reading of the text in front of an "=" keeps what the extraction keeps.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/direct_evaluator.h"
#include "engine/extraction.h"
#include "engine/plain_expression.h"
#include "engine/pre_pass.h"

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
  std::string plain;
  tallo::PlainExpression reading(plain);
  if (reading.Add(text) && reading.Finish()) {
    std::string storage;
    tallo::ExpressionTail tail = tallo::ExtractTail(expression, storage);
    if (tail.continues_front || plain != tallo::CheckExponentMarkers(std::move(tail.expression))) {
      std::fprintf(stderr, "one-pass reading %s differs from the extraction\n", plain.c_str());
      std::abort();
    }
  }
  return 0;
}
