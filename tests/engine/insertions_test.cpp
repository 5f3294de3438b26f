#include "engine/insertions.h"

#include <gtest/gtest.h>

namespace tallo {
namespace {

TEST(ApplyInsertions, InOffsetOrder) {
  EXPECT_EQ(ApplyInsertions("abc", {}), "abc");
  EXPECT_EQ(ApplyInsertions("abc", {{0, "<"}, {2, "|"}, {3, ">"}}), "<ab|c>");
  EXPECT_EQ(ApplyInsertions("", {{0, "x"}}), "x");
}

TEST(ComposeInsertions, SecondPassOffsetsMoveBackToTheOriginal) {
  // "a=b=c": the first pass inserts "1" after each "=", giving "a=1b=1c"; the second
  // inserts "X" after "b=1" (offset 6) and "Y" at the very start.
  const std::vector<Insertion> first = {{2, "1"}, {4, "1"}};
  const std::vector<Insertion> second = {{0, "Y"}, {6, "X"}};
  const std::vector<Insertion> composed = ComposeInsertions(first, second);
  EXPECT_EQ(composed, (std::vector<Insertion>{{0, "Y"}, {2, "1"}, {4, "1X"}}));
  EXPECT_EQ(ApplyInsertions("a=b=c", composed),
            ApplyInsertions(ApplyInsertions("a=b=c", first), second));
}

TEST(ComposeInsertions, EitherPassAlone) {
  const std::vector<Insertion> some = {{1, "x"}, {3, "y"}};
  EXPECT_EQ(ComposeInsertions(some, {}), some);
  EXPECT_EQ(ComposeInsertions({}, some), some);
  // A second-pass insertion where a first-pass text begins stands before it.
  EXPECT_EQ(ComposeInsertions({{1, "x"}}, {{1, "y"}}), (std::vector<Insertion>{{1, "yx"}}));
}

}  // namespace
}  // namespace tallo
