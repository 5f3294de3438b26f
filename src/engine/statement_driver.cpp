#include "engine/statement_driver.h"

#include <algorithm>
#include <array>
#include <deque>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "engine/answered_text.h"
#include "engine/name_index.h"
#include "engine/nearest_name.h"
#include "engine/statement_reasons.h"
#include "text/char_classes.h"

namespace tallo {
namespace {

// The text of a definition in progress: the tokens between its braces, less any token
// that is exactly "=" or "{". While its tokens follow each other in one piece of the
// worksheet it is a view of the worksheet; a left-out token or an answer in between makes
// it a copy, whose lines end in CR LF (a view's text may end its lines in LF: the readers
// take both alike).
class PendingData {
 public:
  // The token lies in piece, where the character in front of it tells whether an LF that
  // starts it ends a line of its own.
  void Append(std::string_view token, std::string_view piece) {
    if (!copied_ && view_.empty()) {
      view_ = token;
      view_piece_ = piece.data();
    } else if (!copied_ && view_piece_ == piece.data() &&
               view_.data() + view_.size() == token.data()) {
      view_ = std::string_view(view_.data(), view_.size() + token.size());
    } else {
      if (!copied_) {
        AppendWithCrLf(view_, false);
        copied_ = true;
      }
      AppendWithCrLf(token, token.data() > piece.data() && token.data()[-1] == '\r');
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
  // Appends text with a CR put before every LF that has none in front of it.
  void AppendWithCrLf(std::string_view text, bool after_cr) {
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n')) {
      copy_ += text.substr(0, lf);
      if (lf > 0 ? text[lf - 1] != '\r' : !after_cr) copy_ += '\r';
      copy_ += '\n';
      after_cr = false;
      text.remove_prefix(lf + 1);
    }
    copy_ += text;
  }

  std::string_view view_;
  const char* view_piece_ = nullptr;
  std::string copy_;
  bool copied_ = false;
};

struct StatementCall {
  std::string_view before;  // the token in front of the name
  std::string_view name;
  std::array<std::string_view, 3> arguments;
  int argument_count = 0;
};

// Completed data-set definitions, found by name in text order. The table is the
// calculation's cache of data sets: one DataSet per definition, so that every statement
// naming a definition shares what the first one read (within a budget of memory); it goes
// with the calculation. The texts are views of the worksheet, which outlives the table, or
// copies kept here.
class DataSetTable {
 public:
  static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

  explicit DataSetTable(std::size_t reading_budget) : reading_budget_(reading_budget) {}

  void Add(std::string_view name, PendingData& data) {
    const std::size_t definition = definitions_.size();
    const std::string_view text =
        data.copied() ? std::string_view(copies_.emplace_back(data.TakeCopy())) : data.view();
    definitions_.push_back({DataSet(text), kNone});
    const auto [chain, added] = by_name_.FindOrAdd(name, Chain{definition, definition});
    if (!added) {
      definitions_[chain->last].next = definition;
      chain->last = definition;
    }
    data.Clear();
  }

  // The earliest definition of a name, and the one after a definition under its name;
  // kNone where there is none.
  std::size_t First(std::string_view name) const {
    const Chain* chain = by_name_.Find(name);
    return chain == nullptr ? kNone : chain->first;
  }
  std::size_t Next(std::size_t definition) const { return definitions_[definition].next; }

  const DataSet& Data(std::size_t definition) const { return definitions_[definition].data; }

  // Runs a statement's work on the data sets a call names. Before it, what statements
  // derived from data sets (a table's covariances) is kept only while statements in a row
  // use them: the data sets the statement before used and this one does not forget theirs.
  // After it, the readings of all data sets are kept within a budget: past it, the least
  // recently used forget theirs, to be read again if a statement further down asks. A
  // worksheet's readings never pile up, and those of statements near their data are read
  // once.
  template <typename Work>
  void Use(const StatementCall& call, Work work) {
    std::vector<std::size_t> used;
    for (int k = 0; k < call.argument_count; ++k) {
      const std::size_t first = First(call.arguments[static_cast<std::size_t>(k)]);
      if (k == 0 && first != kNone) used.push_back(first);
      for (std::size_t d = first; k > 0 && d != kNone; d = Next(d)) used.push_back(d);
    }
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    for (const std::size_t held : deriving_) {
      if (!std::binary_search(used.begin(), used.end(), held)) {
        definitions_[held].data.ForgetDerived();
      }
    }
    for (const std::size_t d : used) reading_bytes_ -= definitions_[d].data.reading_bytes();
    work();
    ++uses_;
    for (const std::size_t d : used) {
      reading_bytes_ += definitions_[d].data.reading_bytes();
      definitions_[d].last_use = uses_;
      use_order_.push_back({uses_, d});
    }
    while (reading_bytes_ > reading_budget_ && !use_order_.empty() &&
           use_order_.front().use != uses_) {
      const StatementUse& oldest = use_order_.front();
      Definition& definition = definitions_[oldest.definition];
      if (definition.last_use == oldest.use) {
        reading_bytes_ -= definition.data.reading_bytes();
        definition.data.ForgetReadings();
      }
      use_order_.pop_front();
    }
    deriving_ = std::move(used);
  }

  std::size_t size() const { return definitions_.size(); }

  // How many times the texts of the definitions were read.
  std::size_t Readings() const {
    std::size_t readings = 0;
    for (const Definition& definition : definitions_) readings += definition.data.readings();
    return readings;
  }

  // The defined name nearest to another, for a reason; empty when none is near.
  std::string Nearest(std::string_view name) const {
    NearestName nearest(name);
    by_name_.ForEachName([&](std::string_view defined) { nearest.Consider(defined); });
    return nearest.best();
  }

 private:
  struct Definition {
    DataSet data;
    std::size_t next;          // the next definition of the same name
    std::size_t last_use = 0;  // the count of statements run when one last used it
  };
  struct StatementUse {
    std::size_t use;
    std::size_t definition;
  };
  struct Chain {
    std::size_t first;
    std::size_t last;
  };
  std::vector<Definition> definitions_;
  std::vector<std::size_t> deriving_;  // the definitions the last statement used
  std::size_t reading_budget_;
  std::size_t reading_bytes_ = 0;       // what the readings of all definitions hold
  std::size_t uses_ = 0;                // statements run
  std::deque<StatementUse> use_order_;  // the definitions each statement used, oldest first
  std::deque<std::string> copies_;
  NameIndex<Chain> by_name_;
};

// The last completed tokens, T0 the newest, in a ring so that a new token costs one store.
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
  static constexpr std::size_t kSize = kRecentTokenCount;
  std::array<std::string_view, kSize> tokens_{};
  std::size_t newest_ = 0;
};

// The name before the last "(" while single tokens between single commas follow it, up to
// its ")", as in a call of data sets. The window of tokens matches statements of up to
// three data sets; this sees one given more, so that it is explained as such.
class LastCall {
 public:
  void Push(std::string_view token, std::string_view before) {
    if (token == "(") {
      name_ = before;
      state_ = State::WantArgument;
    } else if (state_ == State::WantArgument && token != "," && token != ")") {
      state_ = State::AfterArgument;
    } else if (state_ == State::AfterArgument && token == ",") {
      state_ = State::WantArgument;
    } else if (state_ == State::AfterArgument && token == ")") {
      state_ = State::Closed;
    } else {
      state_ = State::Broken;
    }
  }

  // The name of the call of data sets that the last token closed.
  std::optional<std::string_view> ClosedCallName() const {
    if (state_ == State::Closed) return name_;
    return std::nullopt;
  }

  // Whether the tokens still follow a call's arguments; when not, no token but a "(" can
  // start another, so any run of tokens without one leaves the state as it is.
  bool InArguments() const {
    return state_ == State::WantArgument || state_ == State::AfterArgument;
  }

 private:
  enum class State { Broken, WantArgument, AfterArgument, Closed };
  std::string_view name_;
  State state_ = State::Broken;
};

// Matches proc(a)=, proc(a,b)= and proc(a,b,c)= on the tokens before an "=".
bool MatchStatement(const TokenWindow& t, StatementCall& call) {
  if (t[0] != ")") return false;
  if (t[2] == "(") {
    call = {t[4], t[3], {t[1]}, 1};
  } else if (t[2] == "," && t[4] == "(") {
    call = {t[6], t[5], {t[3], t[1]}, 2};
  } else if (t[2] == "," && t[4] == "," && t[6] == "(") {
    call = {t[8], t[7], {t[5], t[3], t[1]}, 3};
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
  constexpr std::size_t kNone = DataSetTable::kNone;
  const std::size_t first = data_sets.First(call.arguments[0]);
  if (first == kNone) return {};
  std::array<const DataSet*, 3> data{&data_sets.Data(first)};
  const DataSets arguments(data.data(), static_cast<std::size_t>(call.argument_count));
  if (call.argument_count == 1) return statement.run(arguments, options);

  std::string reports;
  const auto run_for_every_second = [&] {
    for (std::size_t second = data_sets.First(call.arguments[1]); second != kNone;
         second = data_sets.Next(second)) {
      data[1] = &data_sets.Data(second);
      reports += statement.run(arguments, options);
    }
  };
  if (call.argument_count == 2) {
    run_for_every_second();
    return reports;
  }
  for (std::size_t third = data_sets.First(call.arguments[2]); third != kNone;
       third = data_sets.Next(third)) {
    data[2] = &data_sets.Data(third);
    run_for_every_second();
  }
  return reports;
}

// Whether the token in front of a statement's name makes the statement an operand: an
// operator or a sign right in front of it ("2*mean(a)=", "x+sd(a)=", "-mean(a)="), where
// its report would pass for the value of the expression.
bool IsOperand(std::string_view before) {
  return !before.empty() && (ClassifyStatementChar(before.back()) == StatementChar::MulDiv ||
                             before.back() == '+' || before.back() == '-');
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
    const std::size_t found = data_sets.First(call.arguments[k]);
    if (found != DataSetTable::kNone) data[k] = data_sets.Data(found).text();
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

// The characters the driver acts on: a definition's braces, the "=" of a statement or a
// definition, and a call's parentheses. Their classes hold nothing else, so the first of
// them after other characters starts a token.
constexpr bool StirsRule(char c) {
  const StatementChar cls = char_class_rules::Statement(c);
  return cls == StatementChar::Brace || cls == StatementChar::Equals ||
         cls == StatementChar::Paren;
}
constexpr auto kStirs = char_class_rules::TableOf(StirsRule);
bool Stirs(char c) { return kStirs[static_cast<unsigned char>(c)]; }

// Where the walk over a piece may go on from the token boundary at `from`: between two
// characters that stir the driver the tokens only pass through the window of recent
// tokens (and into a definition's text, which takes a run of tokens as one piece), so the
// walk may take the start of a long run as one token, as long as the window holds whole
// tokens again when the next such character comes. `stop` is that character's position,
// or the end of the walk. This is the start of the kRecentTokenCount-th token before stop,
// or `from` where fewer tokens lie between.
std::size_t QuietRunEnd(std::string_view part, std::size_t from, std::size_t stop) {
  std::size_t tokens = 0;
  for (std::size_t j = stop; j > from + 1; --j) {
    if (ClassifyStatementChar(part[j - 1]) != ClassifyStatementChar(part[j - 2]) &&
        ++tokens == kRecentTokenCount) {
      return j - 1;
    }
  }
  return from;
}

bool EndsStatement(std::optional<char> next) {
  return !next || ClassifyStatementChar(*next) == StatementChar::Blank ||
         ClassifyStatementChar(*next) == StatementChar::LineEnd;
}

}  // namespace

void RunStatementDriver(std::string_view text, const Answers& answers,
                        std::span<const Statement> statements, const ReportOptions& options,
                        std::size_t reading_budget, const ReportSink& report_sink,
                        FoundReasons* reasons, CalculationCounts* counts) {
  DataSetTable data_sets(reading_budget);
  TokenWindow window;
  LastCall last_call;
  bool defining = false;
  std::string_view pending_name;
  PendingData pending_data;

  // Visits the token boundaries: the first character, every change of class, and the last
  // character of the text, which ends a token whatever its class. At a boundary the token
  // before it is complete and the character c begins the next one. Every piece begins at a
  // boundary, since no token spans two pieces.
  std::string_view token_piece;  // the piece of the token in progress
  std::size_t token_start = 0;   // where in it the token starts
  ForEachAnsweredPiece(text, answers, [&](const AnsweredPiece& piece) {
    const std::string_view part = piece.text;
    // The run of one class stops before the last character of the text.
    const std::size_t limit = piece.next ? part.size() : part.size() - 1;
    std::size_t stir = 0;       // the next stirring character (or the limit) once searched for
    std::size_t quiet_end = 0;  // where a quiet run before it ends
    for (std::size_t i = 0; i < part.size();) {
      const char c = part[i];
      const std::string_view t0_piece = token_piece;
      window.Push(token_piece.substr(token_start, i == 0 ? std::string_view::npos : i - token_start));
      token_piece = part;
      token_start = i;
      const std::string_view t0 = window[0];
      if (reasons != nullptr) last_call.Push(t0, window[1]);

      const auto recent = [&](std::size_t age) { return window[age]; };
      if (c == '{' && t0 == "=") {
        if (IsDataSetName(window[1])) {
          defining = true;
          pending_name = window[1];
        } else if (reasons != nullptr) {
          AddReason(*reasons, piece.offset + i - 1, ExplainDefinition(recent));
        }
      }
      if (defining && t0 != "=" && t0 != "{") pending_data.Append(t0, t0_piece);
      if (defining && c == '}') {
        defining = false;
        data_sets.Add(pending_name, pending_data);
      }
      if (t0 == "{}") {
        defining = false;
        pending_data.Clear();
      }
      if (c == '=' && EndsStatement(i + 1 < part.size() ? part[i + 1] : piece.next)) {
        const std::size_t equals = piece.offset + i;
        StatementCall call;
        const bool matched = MatchStatement(window, call);
        const Statement* statement =
            matched ? FindStatement(statements, call.name, call.argument_count) : nullptr;
        if (statement != nullptr && IsOperand(call.before)) {
          if (reasons != nullptr) {
            AddReason(*reasons, equals,
                      ExplainStatementOperand(*statement, ReasonSource::Statement));
          }
        } else if (statement != nullptr) {
          if (counts != nullptr) ++counts->statements;
          std::string report;
          data_sets.Use(call, [&] { report = RunStatement(*statement, call, data_sets, options); });
          if (reasons != nullptr) {
            AddReason(*reasons, equals, ExplainStatement(*statement, call, data_sets));
          }
          if (!report.empty()) report_sink(equals + 1, report);
        } else if (reasons != nullptr) {
          std::optional<std::string_view> name = matched ? std::optional(call.name) : std::nullopt;
          // A call of data sets the window cannot match has more than three: a statement's
          // is explained here, any other the pre-pass explains.
          const std::optional<std::string_view> long_call = last_call.ClosedCallName();
          if (!matched && long_call && FindStatementNamed(statements, *long_call) != nullptr) {
            name = long_call;
          }
          AddReason(*reasons, equals, ExplainStatementForm(statements, recent, name));
        }
      }

      const StatementChar cls = ClassifyStatementChar(c);
      std::size_t next = i + 1;
      while (next < limit && ClassifyStatementChar(part[next]) == cls) ++next;
      if (next < limit && next > stir) {
        stir = next;
        while (stir < limit && !Stirs(part[stir])) ++stir;
        quiet_end = QuietRunEnd(part, next, stir);
      }
      // The token starting here joins the run only when it is quiet itself; a call's
      // arguments in progress are told apart token by token, for its reason.
      if (next < quiet_end && !Stirs(c) && (reasons == nullptr || !last_call.InArguments())) {
        next = quiet_end;
      }
      i = next;
    }
  });
  if (counts != nullptr) {
    counts->data_sets += data_sets.size();
    counts->data_set_readings += data_sets.Readings();
  }
}

}  // namespace tallo
