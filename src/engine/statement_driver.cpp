#include "engine/statement_driver.h"

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>

#include "engine/nearest_name.h"
#include "engine/statement_reasons.h"
#include "text/char_classes.h"

namespace tallo {
namespace {

// The text of a definition in progress: the tokens between its braces, less any token
// that is exactly "=" or "{". While its tokens follow each other in the worksheet it is a
// view of the worksheet; a left-out token in between makes it a copy.
class PendingData {
 public:
  void Append(std::string_view token) {
    if (copied_) {
      copy_ += token;
    } else if (view_.empty()) {
      view_ = token;
    } else if (view_.data() + view_.size() == token.data()) {
      view_ = std::string_view(view_.data(), view_.size() + token.size());
    } else {
      copy_.assign(view_);
      copy_ += token;
      copied_ = true;
    }
  }

  void Clear() {
    view_ = {};
    copy_.clear();
    copied_ = false;
  }

  bool copied() const { return copied_; }
  std::string_view view() const { return view_; }
  std::string TakeCopy() { return std::move(copy_); }

 private:
  std::string_view view_;
  std::string copy_;
  bool copied_ = false;
};

// Completed data-set definitions, found by name in text order. The texts are views of the
// worksheet, which outlives the table, or copies kept here.
class DataSetTable {
 public:
  void Add(std::string_view name, PendingData& data) {
    by_name_[name].push_back(data_.size());
    if (data.copied()) {
      data_.push_back(copies_.emplace_back(data.TakeCopy()));
    } else {
      data_.push_back(data.view());
    }
    data.Clear();
  }

  // Definition numbers of a name, earliest first; empty when it has none.
  const std::vector<std::size_t>& Find(std::string_view name) const {
    static const std::vector<std::size_t> kNone;
    const auto found = by_name_.find(name);
    return found == by_name_.end() ? kNone : found->second;
  }

  std::string_view Data(std::size_t definition) const { return data_[definition]; }

  // The defined name nearest to another, for a reason; empty when none is near.
  std::string Nearest(std::string_view name) const {
    NearestName nearest(name);
    for (const auto& entry : by_name_) nearest.Consider(entry.first);
    return nearest.best();
  }

 private:
  std::vector<std::string_view> data_;
  std::deque<std::string> copies_;
  std::unordered_map<std::string_view, std::vector<std::size_t>> by_name_;
};

// The last eight completed tokens, T0 the newest, in a ring so that a new token costs one
// store.
class TokenWindow {
 public:
  void Push(std::string_view token) {
    newest_ = (newest_ + 1) % kSize;
    tokens_[newest_] = token;
  }
  std::string_view operator[](std::size_t age) const {
    return tokens_[(newest_ + kSize - age) % kSize];
  }

 private:
  static constexpr std::size_t kSize = 8;
  std::array<std::string_view, kSize> tokens_{};
  std::size_t newest_ = 0;
};

struct StatementCall {
  std::string_view name;
  std::array<std::string_view, 3> arguments;
  int argument_count = 0;
};

// Matches proc(a)=, proc(a,b)= and proc(a,b,c)= on the tokens before an "=".
bool MatchStatement(const TokenWindow& t, StatementCall& call) {
  if (t[0] != ")") return false;
  if (t[2] == "(") {
    call = {t[3], {t[1]}, 1};
  } else if (t[2] == "," && t[4] == "(") {
    call = {t[5], {t[3], t[1]}, 2};
  } else if (t[2] == "," && t[4] == "," && t[6] == "(") {
    call = {t[7], {t[5], t[3], t[1]}, 3};
  } else {
    return false;
  }
  return true;
}

// Runs a statement once for every combination its arguments name: the earliest definition
// of the first, and every definition of the second and third in text order. Nothing runs
// when an argument names no definition.
std::string RunStatement(const Statement& statement, const StatementCall& call,
                         const DataSetTable& data_sets, const ReportOptions& options) {
  const std::vector<std::size_t>& firsts = data_sets.Find(call.arguments[0]);
  if (firsts.empty()) return {};
  std::array<std::string_view, 3> data{data_sets.Data(firsts.front())};
  const DataTexts texts(data.data(), static_cast<std::size_t>(call.argument_count));
  if (call.argument_count == 1) return statement.run(texts, options);

  std::string reports;
  const auto run_for_every_second = [&] {
    for (std::size_t second : data_sets.Find(call.arguments[1])) {
      data[1] = data_sets.Data(second);
      reports += statement.run(texts, options);
    }
  };
  if (call.argument_count == 2) {
    run_for_every_second();
    return reports;
  }
  for (std::size_t third : data_sets.Find(call.arguments[2])) {
    data[2] = data_sets.Data(third);
    run_for_every_second();
  }
  return reports;
}

bool EndsStatement(std::string_view text, std::size_t equals) {
  if (equals + 1 == text.size()) return true;
  const StatementChar next = ClassifyStatementChar(text[equals + 1]);
  return next == StatementChar::Blank || next == StatementChar::LineEnd;
}

bool IsDataSetName(std::string_view token) {
  const TokenEnd end = ClassifyTokenEnd(token);
  return end == TokenEnd::Letter || end == TokenEnd::LoneE;
}

// Why a statement the driver knows did not run, or ran on data that fall short.
std::optional<FoundReason> ExplainStatement(const Statement& statement, const StatementCall& call,
                                            const DataSetTable& data_sets) {
  const auto count = static_cast<std::size_t>(call.argument_count);
  std::array<std::optional<std::string_view>, 3> data;
  for (std::size_t k = 0; k < count; ++k) {
    const std::vector<std::size_t>& found = data_sets.Find(call.arguments[k]);
    if (!found.empty()) data[k] = data_sets.Data(found.front());
  }
  return ExplainStatementData(statement, std::span(call.arguments.data(), count),
                              std::span(data.data(), count),
                              [&](std::string_view name) { return data_sets.Nearest(name); });
}

void AddReason(FoundReasons& reasons, std::size_t equals, std::optional<FoundReason> reason) {
  if (!reason) return;
  reason->offset = equals;
  reasons.push_back(std::move(*reason));
}

}  // namespace

std::vector<Insertion> RunStatementDriver(std::string_view text,
                                          std::span<const Statement> statements,
                                          const ReportOptions& options,
                                          FoundReasons* reasons) {
  std::vector<Insertion> reports;
  DataSetTable data_sets;
  TokenWindow window;
  bool defining = false;
  std::string_view pending_name;
  PendingData pending_data;

  // Visits the token boundaries: the first character, every change of class, and the last
  // character, which ends a token whatever its class. At a boundary the token before it is
  // complete and the character c begins the next one.
  const std::size_t last = text.empty() ? 0 : text.size() - 1;
  std::size_t token_start = 0;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    window.Push(text.substr(token_start, i - token_start));
    token_start = i;
    const std::string_view t0 = window[0];

    const auto recent = [&](std::size_t age) { return window[age]; };
    if (c == '{' && t0 == "=") {
      if (IsDataSetName(window[1])) {
        defining = true;
        pending_name = window[1];
      } else if (reasons != nullptr) {
        AddReason(*reasons, i - 1, ExplainDefinition(recent));
      }
    }
    if (defining && t0 != "=" && t0 != "{") pending_data.Append(t0);
    if (defining && c == '}') {
      defining = false;
      data_sets.Add(pending_name, pending_data);
    }
    if (t0 == "{}") {
      defining = false;
      pending_data.Clear();
    }
    if (c == '=' && EndsStatement(text, i)) {
      StatementCall call;
      const bool matched = MatchStatement(window, call);
      const Statement* statement =
          matched ? FindStatement(statements, call.name, call.argument_count) : nullptr;
      if (statement != nullptr) {
        std::string report = RunStatement(*statement, call, data_sets, options);
        if (reasons != nullptr) {
          AddReason(*reasons, i, ExplainStatement(*statement, call, data_sets));
        }
        if (!report.empty()) reports.push_back({i + 1, std::move(report)});
      } else if (reasons != nullptr) {
        AddReason(*reasons, i,
                  ExplainStatementForm(statements, recent,
                                       matched ? std::optional(call.name) : std::nullopt));
      }
    }

    const StatementChar cls = ClassifyStatementChar(c);
    std::size_t next = i + 1;
    while (next < last && ClassifyStatementChar(text[next]) == cls) ++next;
    i = next;
  }
  return reports;
}

}  // namespace tallo
