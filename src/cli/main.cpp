// tallo-calc: Do Calculation on worksheet files from the command line.

#include <malloc.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/file_io.h"
#include "cli/options.h"
#include "engine/calculate.h"
#include "engine/function_list.h"
#include "engine/line_ends.h"

namespace {

using tallo::cli::Options;

void Complain(const std::string& subject, const std::string& reason) {
  std::fprintf(stderr, "tallo-calc: %s: %s\n", subject.c_str(), reason.c_str());
}

std::string NameOf(const std::string& path) { return path == "-" ? "standard input" : path; }

int Print(std::string_view text) {
  tallo::cli::BufferedWriter out(STDOUT_FILENO);
  out.Write(text);
  std::string error;
  if (out.Flush(error)) return 0;
  Complain("standard output", error);
  return 1;
}

// Passes a calculated worksheet on to a writer as it comes; without a writer it is dropped.
class CalculatedTextTo : public tallo::CalculatedTextSink {
 public:
  explicit CalculatedTextTo(tallo::cli::BufferedWriter* writer) : writer_(writer) {}

  void Copy(std::string_view piece) override {
    if (writer_ != nullptr) writer_->Write(piece);
  }
  void Insert(std::size_t, std::string_view piece) override {
    if (writer_ != nullptr) writer_->Write(piece);
  }

 private:
  tallo::cli::BufferedWriter* writer_;
};

// Writes a calculated worksheet over its file. The replacement is opened at the first
// insertion, with the input in front of it: a file that nothing changes is never touched.
class ReplacementOf : public tallo::CalculatedTextSink {
 public:
  ReplacementOf(const std::string& path, std::string_view input) : path_(path), input_(input) {}

  void Copy(std::string_view piece) override {
    if (state_ == State::kWriting) replacement_.content().Write(piece);
  }

  void Insert(std::size_t offset, std::string_view piece) override {
    if (state_ == State::kUntouched) {
      state_ = replacement_.Open(path_, error_) ? State::kWriting : State::kFailed;
      if (state_ == State::kWriting) replacement_.content().Write(input_.substr(0, offset));
    }
    if (state_ == State::kWriting) replacement_.content().Write(piece);
  }

  // Replaces the file when something was inserted; false, with the reason in error, when
  // that failed.
  bool Finish(std::string& error) {
    if (state_ == State::kUntouched) return true;
    if (state_ == State::kWriting && replacement_.Commit(error_)) return true;
    error = error_;
    return false;
  }

 private:
  enum class State { kUntouched, kWriting, kFailed };
  const std::string& path_;
  std::string_view input_;
  tallo::cli::FileReplacement replacement_;
  State state_ = State::kUntouched;
  std::string error_;
};

// "FILE:LINE:COLUMN: no answer: MESSAGE", the form editors and IDEs jump to.
std::string ReasonLines(const std::string& path, const std::vector<tallo::Reason>& reasons) {
  const std::string name = path == "-" ? "<stdin>" : path;
  std::string lines;
  for (const tallo::Reason& reason : reasons) {
    lines += name + ":" + std::to_string(reason.line) + ":" + std::to_string(reason.column) +
             ": no answer: " + reason.message + "\n";
  }
  return lines;
}

// The calculated worksheet to standard output, written as it is calculated; with --explain
// the reasons to standard error, with --check only the reasons, to standard output.
int CalculateToStandardOutput(const std::string& path, Options::Mode mode,
                              tallo::CalculationOptions calculation_options) {
  tallo::cli::FileContent content;
  std::string error;
  if (!tallo::cli::ReadWholeFile(path, content, error)) {
    Complain(NameOf(path), error);
    return 1;
  }
  const bool explain = mode == Options::Mode::Explain;
  const bool check = mode == Options::Mode::Check;
  calculation_options.reasons = explain || check;
  tallo::cli::BufferedWriter out(STDOUT_FILENO);
  CalculatedTextTo calculated(check ? nullptr : &out);
  const std::string reasons =
      ReasonLines(path, tallo::CalculateWorksheet(content.text(), calculation_options, calculated));
  if (check) return Print(reasons) != 0 || !reasons.empty() ? 1 : 0;
  int status = 0;
  if (!out.Flush(error)) {
    Complain("standard output", error);
    status = 1;
  }
  if (explain) std::fwrite(reasons.data(), 1, reasons.size(), stderr);
  return status;
}

int CalculateInPlace(const std::vector<std::string>& paths,
                     const tallo::CalculationOptions& calculation_options) {
  int status = 0;
  for (const std::string& path : paths) {
    tallo::cli::FileContent content;
    std::string error;
    if (!tallo::cli::ReadWholeFile(path, content, error)) {
      Complain(path, error);
      status = 1;
      continue;
    }
    ReplacementOf replacement(path, content.text());
    tallo::CalculateWorksheet(content.text(), calculation_options, replacement);
    if (!replacement.Finish(error)) {
      Complain(path, error);
      status = 1;
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // Past a file-size limit a write should fail with EFBIG, reported like any other write
  // error, instead of killing the process halfway through a replacement.
  std::signal(SIGXFSZ, SIG_IGN);
  // One calculation runs and the process ends: memory that statements free is kept for the
  // next ones, large pieces included, instead of going back to the system and being
  // faulted in again page by page.
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const tallo::cli::ParsedOptions parsed = tallo::cli::ParseOptions(arguments);
  if (!parsed.ok) {
    std::fprintf(stderr, "tallo-calc: %s\n%s", parsed.error.c_str(), tallo::cli::kUsage);
    return 2;
  }
  const Options& options = parsed.options;
  const tallo::CalculationOptions calculation_options{options.p_values};
  switch (options.mode) {
    case Options::Mode::Help:
      return Print(tallo::cli::kUsage);
    case Options::Mode::Version:
      return Print("Tallo Version " TALLO_VERSION "\n");
    case Options::Mode::Functions:
      // A terminal wants LF line ends; the stored text has CR LF.
      return Print(tallo::WithLfLineEnds(tallo::FunctionListText()));
    case Options::Mode::InPlace:
      return CalculateInPlace(options.files, calculation_options);
    case Options::Mode::ToStandardOutput:
    case Options::Mode::Explain:
    case Options::Mode::Check:
      break;
  }
  return CalculateToStandardOutput(options.files.empty() ? "-" : options.files.front(),
                                   options.mode, calculation_options);
}
