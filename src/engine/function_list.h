#pragma once
// The "Format of Functions" text: operators, functions, statements and worksheet examples,
// shown by the editor's help dialog and by tallo-calc --functions.

#include <string_view>

namespace tallo {

// The whole text, every line ended by CR LF.
std::string_view FunctionListText();

}  // namespace tallo
