#include "engine/pre_pass.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>

#include "engine/direct_evaluator.h"
#include "engine/evaluator.h"
#include "engine/expression_reasons.h"
#include "engine/extraction.h"
#include "engine/nearest_name.h"
#include "engine/line_lexemes.h"
#include "engine/variable_table.h"
#include "text/char_classes.h"

namespace tallo {
namespace {

// A line is cut into at most this many tokens; the rest of a longer line belongs to the
// last one.
constexpr std::size_t kMaxLineTokens = 9995;

using LineTokens = std::vector<std::string_view>;
// A line's tokens as the steps read them: a view whose size stays in a register, where the
// vector's would be read again after every call that might have changed it.
using TokenView = std::span<const std::string_view>;

// Cuts the line that starts at text[begin] into tokens, which come in place of what tokens
// held, and returns where the line ends: after its "\n", or at the end of the text. The
// line's "\n" is found first, so that the walk over its characters only compares classes:
// the "\n" ends the run of line ends it closes.
std::size_t CutLine(std::string_view text, std::size_t begin, LineTokens& tokens) {
  tokens.clear();
  const std::size_t newline = text.find('\n', begin);
  const std::size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
  std::size_t token_begin = begin;
  std::size_t room = kMaxLineTokens - 1;  // for tokens before the last
  WorksheetChar token_class = ClassifyWorksheetChar(text[begin]);
  for (std::size_t i = begin + 1; i < end; ++i) {
    const WorksheetChar next_class = ClassifyWorksheetChar(text[i]);
    if (next_class == token_class) continue;
    if (room-- == 0) break;  // the last token holds the rest
    tokens.emplace_back(text.data() + token_begin, i - token_begin);
    token_begin = i;
    token_class = next_class;
  }
  tokens.emplace_back(text.data() + token_begin, end - token_begin);
  return end;
}

bool IsArithmeticOperator(std::string_view token) {
  return token == "+" || token == "-" || token == "*" || token == "/";
}

bool IsSignOnly(std::string_view token) { return token == "+" || token == "-"; }

bool EndsWithDigit(std::string_view token) { return !token.empty() && IsDigit(token.back()); }

bool IsBlankOrEquals(std::string_view token) {
  return token.find_first_not_of(" \t=") == std::string_view::npos;
}

WorksheetChar FirstClass(std::string_view token) {
  return token.empty() ? WorksheetChar::Other : ClassifyWorksheetChar(token[0]);
}

// The tokens of one expression, [start, end] of the line, with variables substituted; work
// is where they are kept, its earlier content dropped.
class Substitution {
 public:
  Substitution(TokenView line, std::size_t start, std::size_t end, LineTokens& work)
      : line_(line), start_(start), work_(work) {
    work_.assign(line.begin() + static_cast<std::ptrdiff_t>(start),
                 line.begin() + static_cast<std::ptrdiff_t>(end) + 1);
  }
  // The substituted values are views of the variable table, which must not change while
  // the substitution is used.

  // Replaces every token that names a variable by " value ", except the letters of a
  // number's exponent: "e" in "1.5e+3", or a name after "1.5e+".
  void Substitute(const VariableTable& variables) {
    for (std::size_t k = start_; k < start_ + work_.size(); ++k) {
      if (!IsNameChar(Token(k)[0])) continue;  // a name starts with a letter
      const VariableValue* value = variables.Find(Token(k));
      if (value == nullptr || IsExponentLetter(k) || FollowsExponentSign(k)) continue;
      work_[k - start_] = value->text;
      // The blanks around the value part it from digits written against the name ("2x",
      // "x2"), which the expression then seems to start after.
      if (k > start_ && EndsWithDigitOrPoint(line_[k - 1])) glued_.push_back(k);
      if (k + 1 < start_ + work_.size() && StartsWithDigitOrPoint(line_[k + 1])) {
        glued_.push_back(k + 1);
      }
    }
  }

  // The expression's text, in place of what text held.
  void Join(std::string& text) const {
    text.clear();
    for (std::string_view token : work_) text += token;
  }

  // The first line token within the expression kept from offset front of the joined text
  // that is a value or digits written against the token in front of it, as in "2x" or "x2"
  // ("2*x" was meant, or a name with digits): the kept text then does not say what was
  // written, whether the extraction starts there or reads on through it ("3x" with x=-2 is
  // no subtraction). Offsets count the text as narrowed, without its bytes of 128 and above.
  std::optional<std::size_t> GluedWithin(std::size_t front) const {
    std::size_t offset = 0;
    auto glued = glued_.begin();
    for (std::size_t k = start_; k < start_ + work_.size() && glued != glued_.end(); ++k) {
      const std::string_view token = Token(k);
      const auto narrow_size = static_cast<std::size_t>(std::count_if(
          token.begin(), token.end(), [](char c) { return static_cast<unsigned char>(c) < 128; }));
      if (k == *glued) {
        if (offset + narrow_size > front) return k;
        ++glued;
      }
      offset += narrow_size;
    }
    return std::nullopt;
  }

 private:
  // Whether the line has a token back places before token k.
  static bool Exists(std::size_t k, std::size_t back) { return k >= back; }

  // The current text of token k of the expression. The rules below look back only as far
  // as the expression's first token, which is "=" or starts the line, so no earlier token.
  std::string_view Token(std::size_t k) const { return work_[k - start_]; }

  bool IsExponentLetter(std::size_t k) const {
    // A name is never the expression's last token, which is its "=".
    if (Token(k) != "e" || !Exists(k, 1)) return false;
    const std::string_view after = Token(k + 1);
    return EndsWithDigit(Token(k - 1)) && !after.empty() && (after[0] == '+' || after[0] == '-') &&
           !IsSignOnly(after);
  }

  bool FollowsExponentSign(std::size_t k) const {
    if (!Exists(k, 3) || !IsSignOnly(Token(k - 1)) || Token(k - 2) != "e") return false;
    const std::string_view mantissa = Token(k - 3);
    return EndsWithDigit(mantissa) ||
           (!mantissa.empty() && mantissa.back() == ' ' && Exists(k, 4) &&
            EndsWithDigit(Token(k - 4)));
  }

  TokenView line_;
  std::size_t start_;
  LineTokens& work_;
  std::vector<std::size_t> glued_;  // tokens, in order, that start a glued value or digits
};

// One number as written: a sign, digits and points with at least one digit, an exponent.
// An evaluation that stopped with operators left ("5-+-3", or a long sum cut off by the
// step bound) is made of the same characters but is no answer, and neither is a point alone.
bool IsSingleNumber(std::string_view text) {
  std::size_t i = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
  bool digits = false;
  for (; i < text.size() && IsDigitOrPoint(text[i]); ++i) {
    digits = digits || IsDigit(text[i]);
  }
  if (!digits) return false;
  if (i == text.size()) return true;
  if (text[i] != 'e' || i + 2 >= text.size() || (text[i + 1] != '+' && text[i + 1] != '-')) {
    return false;
  }
  for (i += 2; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
  }
  return true;
}

// Whether a character kept in front of the trailing number of an evaluated text binds to
// it, so that the number is only the last operand of something left undone: "2**3" and
// "foo(2)+3" leave 3; "Total:5" leaves 5, the value of what follows the prose.
bool BindsToNumberAfter(char c) {
  return IsNameChar(c) || c == '(' || c == ')' || c == '*' || c == '/' || c == '%' || c == ',';
}

// The answer to an expression, extracted from the tokens from its start through its "=" with
// the variables substituted; empty when it has none. Takes the extracted expression text.
// Most expressions are plain arithmetic, which the direct evaluator answers exactly as the
// reducer would, without rewriting the text step by step.
std::string AnswerExpression(ExpressionTail& tail, ReductionTrouble* trouble) {
  const std::string expression = CheckExponentMarkers(std::move(tail.expression));
  // Without a digit or a point no step can produce a number: a statement such as
  // "mean(a)=" is left for the statement driver at once.
  if (expression.find_first_of("0123456789.") == std::string::npos) return {};
  // What continues something in front of it ("2^10", "log10(100)") has no value of its own,
  // unless prose within it stands between that front and the answer ("Q1: 2+3").
  if (tail.continues_front && std::none_of(expression.begin(), expression.end(), IsProseChar)) {
    return {};
  }
  if (std::optional<std::string> answer = EvaluateDirectly(expression)) return *answer;
  return ReducerAnswer(expression, trouble);
}

// What a walk over the lines keeps from one line to the next, and the room its steps reuse
// from one line to the next instead of allocating their own.
struct PrePassState {
  PrePassState(const AnswerSink& answer, FoundReasons* reasons, bool one_pass)
      : answer(answer), reasons(reasons), one_pass(one_pass) {}

  const AnswerSink& answer;
  VariableTable variables;
  std::size_t answers = 0;
  std::size_t one_pass_answers = 0;
  FoundReasons* reasons;  // when asked for
  bool one_pass;
  LineTokens line_tokens;
  LineTokens expression_tokens;
  Lexemes lexemes;
  std::string answer_text;
  std::string expression;
};

// Whether the one-pass reading answers the expression that line tokens [start, equals) end;
// its answer is then in state.answer_text. Otherwise the full extraction reads it.
bool AnswerInOnePass(TokenView tokens, std::size_t start, std::size_t equals,
                     PrePassState& state) {
  return state.one_pass &&
         CutLineExpression(tokens, start, equals, state.variables, state.lexemes) &&
         EvaluateLexemes(state.lexemes, state.answer_text);
}

void AddReason(PrePassState& state, std::size_t equals, std::optional<FoundReason> reason) {
  if (!reason) return;
  reason->offset = equals;
  state.reasons->push_back(std::move(*reason));
}

std::string NearestVariable(const VariableTable& variables, std::string_view name) {
  NearestName nearest(name);
  variables.ForEachName([&](std::string_view name) { nearest.Consider(name); });
  return nearest.best();
}

// The "=" that a line cut at its token limit leaves unread, in its last token.
void ExplainCutLine(std::string_view last, std::size_t last_offset, PrePassState& state) {
  if (last.find_first_not_of('=') == std::string_view::npos) return;  // an "=" token of its own
  for (std::size_t k = last.find('='); k != std::string_view::npos; k = last.find('=', k + 1)) {
    const char next = k + 1 < last.size() ? last[k + 1] : '\0';
    if ((k > 0 && last[k - 1] == '=') || next == '=' || next == '{' ||
        ClassifyWorksheetChar(next) == WorksheetChar::Number ||
        ClassifyWorksheetChar(next) == WorksheetChar::Letter) {
      continue;
    }
    AddReason(state, last_offset + k,
              FoundReason{0, ReasonKind::BoundReached,
                          "the line is longer than 9995 pieces and is not read from there on: "
                          "break it into shorter lines",
                          ReasonSource::Expression, {}});
  }
}

// Walks one line, cut into state.line_tokens: records its assignments and answers its
// expressions.
void RunLine(std::string_view line, std::size_t line_offset, PrePassState& state) {
  const TokenView tokens = state.line_tokens;
  if (state.reasons != nullptr && tokens.size() == kMaxLineTokens) {
    ExplainCutLine(tokens.back(), line_offset + line.size() - tokens.back().size(), state);
  }
  std::size_t start = 0;        // first token of the next expression
  std::size_t token_offset = 0; // offset of token m within the line
  bool blank_so_far = true;     // the line so far holds only blanks, TABs and "="
  for (std::size_t m = 0; m < tokens.size(); token_offset += tokens[m].size(), ++m) {
    blank_so_far = blank_so_far && IsBlankOrEquals(tokens[m]);
    if (tokens[m] != "=" || blank_so_far) continue;

    const std::string_view name = tokens[m - 1];
    const std::string_view value = m + 1 < tokens.size() ? tokens[m + 1] : std::string_view();
    std::string_view before;
    if (m >= 2 && tokens[m - 2][0] != ' ') {
      before = tokens[m - 2];
    } else if (m > 2) {
      before = tokens[m - 3];
    }

    const std::size_t equals = line_offset + token_offset;
    if (!value.empty() && FirstClass(name) == WorksheetChar::Letter &&
        FirstClass(value) == WorksheetChar::Number) {
      // An assignment; after an operator it is an expression already answered (a*x=5).
      if (!IsArithmeticOperator(before)) {
        state.variables.Assign(name, value);
      }
    } else if (FirstClass(value) != WorksheetChar::Number &&
               FirstClass(value) != WorksheetChar::Letter && (value.empty() || value[0] != '{')) {
      if (AnswerInOnePass(tokens, start, m, state)) {
        state.answer(equals + 1, state.answer_text);
        ++state.answers;
        ++state.one_pass_answers;
        start = m;
        continue;
      }
      Substitution substitution(tokens, start, m, state.expression_tokens);
      substitution.Substitute(state.variables);
      substitution.Join(state.expression);
      std::string storage;
      ExpressionTail tail = ExtractTail(state.expression, storage);
      const std::optional<std::size_t> glued = substitution.GluedWithin(tail.front);
      tail.continues_front = tail.continues_front || glued;
      ReductionTrouble trouble;
      std::string answer = AnswerExpression(tail, state.reasons != nullptr ? &trouble : nullptr);
      if (!answer.empty()) {
        state.answer(equals + 1, answer);
        ++state.answers;
      } else if (state.reasons != nullptr && glued) {
        AddReason(state, equals, ExplainGluedOperands(tokens[*glued - 1], tokens[*glued]));
      } else if (state.reasons != nullptr) {
        AddReason(state, equals,
                  ExplainExpression({tail, line.substr(token_offset + 1), trouble,
                                     [&](std::string_view wanted) {
                                       return NearestVariable(state.variables, wanted);
                                     }}));
      }
    }
    start = m;
  }
}

}  // namespace

void RunPrePass(std::string_view text, const AnswerSink& answer, FoundReasons* reasons,
                CalculationCounts* counts, bool one_pass) {
  PrePassState state(answer, reasons, one_pass);
  // Only lines with an "=" can assign or answer anything, so the walk jumps from one such
  // line to the next.
  std::size_t end = 0;  // of the line walked last
  for (std::size_t equals = text.find('='); equals != std::string_view::npos;) {
    // Mostly the "=" is on the line right after that one: no line end lies between.
    std::size_t begin = end;
    if (text.substr(end, equals - end).find('\n') != std::string_view::npos) {
      begin = text.rfind('\n', equals) + 1;
    }
    end = CutLine(text, begin, state.line_tokens);
    RunLine(text.substr(begin, end - begin), begin, state);
    equals = text.find('=', end);
  }
  if (counts != nullptr) {
    counts->answers += state.answers;
    counts->one_pass_answers += state.one_pass_answers;
  }
}

std::string ReducerAnswer(std::string_view expression, ReductionTrouble* trouble) {
  const std::string evaluated = EvaluateUntilStable(expression, trouble);
  std::string answer = KeepTrailingNumber(evaluated);
  if (!IsSingleNumber(answer)) return {};
  const std::size_t prefix = evaluated.size() - answer.size();
  return prefix > 0 && BindsToNumberAfter(evaluated[prefix - 1]) ? std::string() : answer;
}

std::string KeepTrailingNumber(std::string_view text) {
  std::string number;
  for (char c : text) {
    if (IsDigit(c) || c == '+' || c == '-' || c == '.' || c == 'e') {
      number += c;
    } else {
      number.clear();
    }
  }
  return number == "e" ? std::string() : number;
}

}  // namespace tallo
