#pragma once
// Why a statement or a data-set definition did not do what it was written for: the
// reasons of the statement driver, found only when they are asked for.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/found_reason.h"
#include "procedures/registry.h"

namespace tallo {

// The tokens in front of an "=" or "{", newest first (T0 the token just before it), as far
// back as age kRecentTokenCount - 1: a statement of three data sets and the token in front
// of its name, or one of two with blanks among its arguments.
using RecentTokens = std::function<std::string_view(std::size_t age)>;
constexpr std::size_t kRecentTokenCount = 16;

// "d2={2}" and "a ={2}": a definition the reader cannot take.
std::optional<FoundReason> ExplainDefinition(const RecentTokens& tokens);

// A statement-shaped "name(a)=" whose name takes no such arguments, or that blanks or
// digits keep from being read as one ("mean (a)=", "mean(d2)="). matched_name is the name
// when the tokens have the form of a statement.
std::optional<FoundReason> ExplainStatementForm(std::span<const Statement> statements,
                                                const RecentTokens& tokens,
                                                std::optional<std::string_view> matched_name);

// A known statement written as an operand ("2*mean(a)=", "sqrt(mean(a))="), which is not
// run: its report is no value to compute with. The pass that found it is the source.
FoundReason ExplainStatementOperand(const Statement& statement, ReasonSource source);

// A known statement: an argument that names no data set defined above it, or data that fall
// short of what the statement needs. data holds the earliest definition of each argument,
// or nothing where the argument has none; nearest_data_set names the defined data set
// nearest to a name, or empty.
std::optional<FoundReason> ExplainStatementData(
    const Statement& statement, std::span<const std::string_view> arguments,
    std::span<const std::optional<std::string_view>> data,
    const std::function<std::string(std::string_view)>& nearest_data_set);

}  // namespace tallo
