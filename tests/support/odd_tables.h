#pragma once
// Table texts at the edges of what a worksheet may hold: none, a header alone, a lone
// label, short rows, a row of empty cells. Procedures must still write their report.

#include <string_view>

namespace tallo::testing_support {

inline constexpr std::string_view kOddTables[] = {
    "",
    "\r\n",
    "only a label",
    "\tx\r\n",
    "\tx\ty\r\n",
    "\tx\ty\r\nr\t1\t2\r\n",
    "\tx\ty\r\nr\t1\r\ns\r\n",
    "\tx\ty\tz\r\na\t1\t2\r\nb\t2\t1\t3\r\nc\t5\t4\t4\r\nd\t\t\t\r\n",
};

}  // namespace tallo::testing_support
