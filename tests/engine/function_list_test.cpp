// The "Format of Functions" list and the table of statements agree: every statement is
// listed, in table order, with its number of arguments, and every listed statement is in
// the table under a name of its own.

#include "engine/function_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "procedures/registry.h"

namespace tallo {
namespace {

TEST(FunctionList, LinesEndInCrLf) {
  const std::string_view list = FunctionListText();
  EXPECT_TRUE(list.starts_with("======operator======\r\n+-/*()=\r\n"));
  EXPECT_TRUE(list.ends_with("Group2<tab>345.12<tab>234.56<tab>878.43\r\n}\r\n"));
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 90);
  EXPECT_EQ(std::count(list.begin(), list.end(), '\r'), 90);
}

TEST(FunctionList, EveryStatementIsListedInTableOrder) {
  const std::string list = "\r\n" + std::string(FunctionListText());
  std::set<std::string_view> names;
  std::size_t previous = 0;
  for (const Statement& statement : Statements()) {
    EXPECT_TRUE(names.insert(statement.name).second) << statement.name;
    const std::size_t at = list.find("\r\n" + std::string(statement.name) + "(");
    ASSERT_NE(at, std::string::npos) << statement.name;
    EXPECT_GT(at, previous) << statement.name;
    previous = at;
    const std::size_t open = at + 2 + statement.name.size();
    const std::string arguments = list.substr(open, list.find(")=", open) - open);
    EXPECT_EQ(std::count(arguments.begin(), arguments.end(), ',') + 1, statement.arguments)
        << statement.name;
  }
}

// Every "name(arguments)=" line of the list finds its statement by name and number of
// arguments, and by nothing else.
TEST(FunctionList, EveryListedStatementIsFoundByNameAndArguments) {
  const std::string list(FunctionListText());
  int listed = 0;
  for (std::size_t begin = 0; begin < list.size(); begin = list.find("\r\n", begin) + 2) {
    const std::string line = list.substr(begin, list.find("\r\n", begin) - begin);
    const std::size_t open = line.find('(');
    const std::size_t close = line.find(")=");
    if (open == std::string::npos || close == std::string::npos || close < open) continue;
    const std::string name = line.substr(0, open);
    if (name.empty() || name.find_first_not_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos) {
      continue;
    }
    const std::string arguments = line.substr(open + 1, close - open - 1);
    const int count = static_cast<int>(std::count(arguments.begin(), arguments.end(), ',')) + 1;
    const Statement* statement = FindStatement(Statements(), name, count);
    ASSERT_NE(statement, nullptr) << line;
    EXPECT_EQ(statement->name, name);
    EXPECT_EQ(FindStatement(Statements(), name, count + 1), nullptr) << line;
    EXPECT_EQ(FindStatement(Statements(), name, count - 1), nullptr) << line;
    ++listed;
  }
  EXPECT_EQ(listed, 39);
  EXPECT_EQ(Statements().size(), 39u);
  EXPECT_EQ(FindStatement(Statements(), "Mean", 1), nullptr);
  EXPECT_EQ(FindStatement(Statements(), "loge", 1), nullptr);
}

}  // namespace
}  // namespace tallo
