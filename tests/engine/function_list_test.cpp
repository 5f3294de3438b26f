#include "engine/function_list.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Each statement appears in the list as a line that starts with its name and its
// arguments, as in "ttest(a,b)=".
TEST(FunctionList, EveryStatementIsListedWithItsArguments) {
  const std::string list = "\r\n" + std::string(FunctionListText());
  for (const Statement& statement : Statements()) {
    const std::size_t at = list.find("\r\n" + std::string(statement.name) + "(");
    ASSERT_NE(at, std::string::npos) << statement.name;
    const std::size_t open = at + 2 + statement.name.size();
    const std::string arguments = list.substr(open, list.find(")=", open) - open);
    EXPECT_EQ(std::count(arguments.begin(), arguments.end(), ',') + 1, statement.arguments)
        << statement.name;
  }
}

TEST(FunctionList, StatementsAreRegisteredInListOrder) {
  const std::string list = "\r\n" + std::string(FunctionListText());
  std::size_t previous = 0;
  for (const Statement& statement : Statements()) {
    const std::size_t at = list.find("\r\n" + std::string(statement.name) + "(");
    EXPECT_GT(at, previous) << statement.name;
    previous = at;
  }
}

// The other way round: every "name(arguments)=" line of the list has its statement.
TEST(FunctionList, EveryListedStatementIsRegistered) {
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
    EXPECT_NE(FindStatement(Statements(), name, count), nullptr) << line;
    ++listed;
  }
  EXPECT_EQ(listed, 39);
  EXPECT_EQ(Statements().size(), 39u);
}

}  // namespace
}  // namespace tallo
