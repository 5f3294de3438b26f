// Replays the committed fuzzing corpus and every golden worksheet through the invariant,
// so inputs that once broke the engine keep being checked (under the sanitizers too).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/calculation_invariant.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(CorpusReplay, EveryInputKeepsTheInvariant) {
  int replayed = 0;
  for (const char* folder : {TALLO_FUZZ_CORPUS_DIR, TALLO_WORKSHEETS_DIR}) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (!entry.is_regular_file()) continue;
      EXPECT_EQ(tallo::fuzzing::CheckCalculation(ReadFile(entry.path())), "") << entry.path();
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
