#pragma once
// The expression that ends at an "=": what the pre-pass cuts from the text in front of the
// "=", and whether what it keeps goes on from something in front of it.

#include <string>
#include <string_view>

#include "text/char_classes.h"

namespace tallo {

// Cuts an expression text that ends in "=" down to the expression proper ending there:
// operands standing side by side, an earlier "=", a dangling operator or an unmatched ")"
// end what came before. An expression with nothing to evaluate comes back as "=".
std::string ExtractExpression(std::string_view text);

struct ExpressionTail {
  std::string expression;     // as ExtractExpression gives it
  std::string_view narrowed;  // the text without its characters of 128 and above
  std::size_t front;          // where in narrowed the expression starts, before a dangling
                              // operator, an exponent cut off or an unmatched ")" empty it
                              // (always set by ExtractTail)
  // The kept part continues what stands in front of it, so its value is not the value of
  // the expression ending at the "=": the operand of "^" ("2^10"), digits cut from a name
  // ("w1*2", "log10(100)"), a group right after a number or a group ("4(3)", "(3)(4)"), the
  // argument of a function or statement with a blank before its "(" ("sqrt (4)").
  bool continues_front = false;
};

// ExtractExpression with its details; storage keeps the narrowed text when it differs from
// text, and text and storage must outlive the result.
ExpressionTail ExtractTail(std::string_view text, std::string& storage);

// How far a pair of adjacent evaluator tokens (ending in classes a, b) moves the start of
// the expression: past the first token (1) where the second begins a new expression, past
// both (2) where they form nothing that can be evaluated, or not at all (0).
int StartShift(TokenEnd a, TokenEnd b);

// The text, or nothing when it holds an "e" that is not part of a number's exponent
// ("2e+3=" is kept; "2e3=", "e*2=" and "1.5e+x=" are emptied).
std::string CheckExponentMarkers(std::string text);

// Whether that name calls a function or a statement ("sqrt", "mean").
bool IsCallName(std::string_view name);

// A character that no expression holds and no reduction step removes: the punctuation of
// prose in front of an expression ("Total: 2+3="). Blanks and "%" are not prose.
bool IsProseChar(char c);

}  // namespace tallo
