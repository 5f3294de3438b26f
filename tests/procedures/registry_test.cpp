#include "procedures/registry.h"

#include <gtest/gtest.h>

#include <set>

namespace tallo {
namespace {

TEST(Registry, NamesAreUnique) {
  std::set<std::string_view> names;
  for (const Statement& statement : Statements()) {
    EXPECT_TRUE(names.insert(statement.name).second) << statement.name;
    EXPECT_GE(statement.arguments, 1);
    EXPECT_LE(statement.arguments, 3);
    EXPECT_NE(statement.run, nullptr);
  }
}

TEST(Registry, FindsByNameAndArity) {
  ASSERT_NE(FindStatement(Statements(), "mean", 1), nullptr);
  EXPECT_EQ(FindStatement(Statements(), "mean", 1)->name, "mean");
  EXPECT_EQ(FindStatement(Statements(), "mean", 2), nullptr);
  EXPECT_EQ(FindStatement(Statements(), "Mean", 1), nullptr);
  EXPECT_EQ(FindStatement(Statements(), "loge", 1), nullptr);
  EXPECT_NE(FindStatement(Statements(), "ttest", 2), nullptr);
  EXPECT_EQ(FindStatement(Statements(), "ttest", 1), nullptr);
  EXPECT_NE(FindStatement(Statements(), "signtest", 1), nullptr);
  EXPECT_EQ(FindStatement(Statements(), "signtest", 2), nullptr);
}

}  // namespace
}  // namespace tallo
