#include "engine/reasons.h"

namespace tallo {

std::string_view ReasonKindName(ReasonKind kind) {
  switch (kind) {
    case ReasonKind::UnknownName: return "unknown-name";
    case ReasonKind::Undefined: return "undefined";
    case ReasonKind::DefinedBelow: return "defined-below";
    case ReasonKind::UnreadableName: return "unreadable-name";
    case ReasonKind::UnreadableNumber: return "unreadable-number";
    case ReasonKind::StrayBlank: return "stray-blank";
    case ReasonKind::NoSuchOperator: return "no-such-operator";
    case ReasonKind::UnbalancedParentheses: return "unbalanced-parentheses";
    case ReasonKind::Unreduced: return "unreduced";
    case ReasonKind::NotANumber: return "not-a-number";
    case ReasonKind::WrongDataSetCount: return "wrong-data-set-count";
    case ReasonKind::TooFewValues: return "too-few-values";
    case ReasonKind::ListForTable: return "list-for-table";
    case ReasonKind::BoundReached: return "bound-reached";
  }
  return "unknown";
}

}  // namespace tallo
