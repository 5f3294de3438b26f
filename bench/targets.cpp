#include "bench/targets.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <vector>

#include "bench/worksheet_generator.h"
#include "engine/calculate.h"

namespace tallo::bench {
namespace {

constexpr std::uint32_t kSeed = 20261206;
constexpr std::size_t kMB = 1000 * 1000;
constexpr int kRuns = 3;  // runs of each program, in turns

// The processor time a process took (user and system), which other programs on a busy
// machine lengthen far less than its elapsed time, and the most memory it held at once.
struct ProcessRun {
  double seconds = 0;
  double peak_bytes = 0;
};

double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
}

// Runs a program through a fresh copy of this benchmark (MeasureCommand), which passes its
// figures back through a pipe. Not forked from here directly: a process inherits the peak
// of memory of the one it was forked from, and this one holds the generated worksheets. A
// program that cannot run, or fails, ends the benchmark: its figures would mean nothing.
ProcessRun Run(const std::vector<std::string>& command) {
  std::array<int, 2> pipe_ends{};
  if (pipe(pipe_ends.data()) != 0) {
    std::perror("pipe");
    std::exit(1);
  }
  const pid_t launcher = fork();
  if (launcher == 0) {
    dup2(pipe_ends[1], STDOUT_FILENO);
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    std::vector<char*> arguments = {const_cast<char*>("/proc/self/exe"),
                                    const_cast<char*>("--measure")};
    for (const std::string& argument : command) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    execv(arguments[0], arguments.data());
    _exit(127);
  }
  close(pipe_ends[1]);
  ProcessRun run;
  std::size_t got = 0;
  while (got < sizeof run) {
    const ssize_t part = read(pipe_ends[0], reinterpret_cast<char*>(&run) + got, sizeof run - got);
    if (part <= 0) break;
    got += static_cast<std::size_t>(part);
  }
  close(pipe_ends[0]);
  int status = 0;
  waitpid(launcher, &status, 0);
  if (got != sizeof run || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed (status %d)\n", command[0].c_str(), status);
    std::exit(1);
  }
  return run;
}

// Each command kRuns times, in turns so that all meet the same conditions: the least time
// of each (what other programs on the machine added the least to) and its largest peak.
std::vector<ProcessRun> RunInTurns(const std::vector<std::vector<std::string>>& commands) {
  std::vector<ProcessRun> best(commands.size(), {1e30, 0});
  for (int run = 0; run < kRuns; ++run) {
    for (std::size_t k = 0; k < commands.size(); ++k) {
      const ProcessRun done = Run(commands[k]);
      best[k].seconds = std::min(best[k].seconds, done.seconds);
      best[k].peak_bytes = std::max(best[k].peak_bytes, done.peak_bytes);
    }
  }
  return best;
}

// A file in /tmp holding text, removed with the object.
class TextFile {
 public:
  TextFile(std::string name, const std::string& text) : path_("/tmp/tallo-bench-" + std::move(name)) {
    std::ofstream(path_, std::ios::binary) << text;
  }
  ~TextFile() { std::remove(path_.c_str()); }
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// One printed figure: measured against a limit, met when at most the limit (or at least,
// for a figure that must reach it).
void Print(std::string_view figure, double measured, double limit, bool at_least,
           std::string_view unit) {
  const bool met = at_least ? measured >= limit : measured <= limit;
  std::printf("%-52.*s %9.2f%-3.*s %s %8.2f%-3.*s %s\n", static_cast<int>(figure.size()),
              figure.data(), measured, static_cast<int>(unit.size()), unit.data(),
              at_least ? ">=" : "<=", limit, static_cast<int>(unit.size()), unit.data(),
              met ? "met" : "MISSED");
}

bool RIsInstalled() { return std::system("command -v Rscript > /dev/null 2>&1") == 0; }

}  // namespace

int MeasureCommand(char** command) {
  const pid_t child = fork();
  if (child == 0) {
    const int nowhere = open("/dev/null", O_WRONLY);
    dup2(nowhere, STDOUT_FILENO);
    dup2(nowhere, STDERR_FILENO);
    execvp(command[0], command);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
  ProcessRun run;
  run.seconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  run.peak_bytes = static_cast<double>(usage.ru_maxrss) * 1024;  // counted in KiB
  return write(STDOUT_FILENO, &run, sizeof run) == static_cast<ssize_t>(sizeof run) ? 0 : 1;
}

void PrintTargets(const std::string& tallo_calc) {
  std::printf("\nTargets, on processes run three times each in turns: the least processor time,\n"
              "the largest peak of memory\n");
  std::printf("%-52s %12s    %11s\n", "", "measured", "limit");

  // Peak memory and time of tallo-calc on mixed worksheets, against `wc -w` on each.
  std::vector<double> mixed_seconds;
  for (const std::size_t megabytes : {1, 10, 100}) {
    const std::string size = std::to_string(megabytes) + " MB";
    const TextFile file("mixed.txt", MixedWorksheet(megabytes * kMB, kSeed));
    const std::vector<ProcessRun> runs =
        RunInTurns({{tallo_calc, file.path()}, {"wc", "-w", file.path()}});
    mixed_seconds.push_back(runs[0].seconds);
    std::printf("mixed %s: tallo-calc %.3f s, wc -w %.3f s\n", size.c_str(), runs[0].seconds,
                runs[1].seconds);
    if (megabytes >= 10) {
      const double bytes = static_cast<double>(megabytes * kMB);
      Print("tallo-calc peak memory, mixed " + size, runs[0].peak_bytes / 1e6,
            (3 * bytes + 30 * kMB) / 1e6, false, " MB");
    }
    if (megabytes == 100) {
      Print("time of tallo-calc against wc -w, mixed " + size, runs[0].seconds / runs[1].seconds,
            6, false, "x");
    }
  }
  Print("time for 10x the text, mixed 1 MB to 10 MB", mixed_seconds[1] / mixed_seconds[0], 10.5,
        false, "x");
  Print("time for 10x the text, mixed 10 MB to 100 MB", mixed_seconds[2] / mixed_seconds[1],
        10.5, false, "x");

  {
    const std::string scalars = ScalarLines(8 * kMB, kSeed);
    const TextFile file("scalars.txt", scalars);
    const std::vector<ProcessRun> runs =
        RunInTurns({{tallo_calc, file.path()}, {"wc", "-w", file.path()}});
    CalculationCounts counts;
    CalculateWorksheet(scalars, {.counts = &counts});
    std::printf("scalar lines 8 MB: tallo-calc %.3f s, wc -w %.3f s; %zu answers, %zu read in one "
                "pass\n",
                runs[0].seconds, runs[1].seconds, counts.answers, counts.one_pass_answers);
    Print("time of tallo-calc against wc -w, scalar lines 8 MB",
          runs[0].seconds / runs[1].seconds, 4, false, "x");
  }

  // Every data set read once, however many statements use it.
  {
    CalculationCounts counts;
    CalculateWorksheet(MixedWorksheet(10 * kMB, kSeed), {.counts = &counts});
    std::printf("mixed 10 MB: %zu statements on %zu data sets read %zu times\n", counts.statements,
                counts.data_sets, counts.data_set_readings);
    Print("data-set readings per data set, mixed 10 MB",
          static_cast<double>(counts.data_set_readings) / static_cast<double>(counts.data_sets), 2,
          false, "");
  }

  // Per block of data and statements, R's time on the same analyses against tallo-calc's.
  if (!RIsInstalled()) {
    std::printf("R against tallo-calc: Rscript is not installed here (r-base-core), not measured\n");
    return;
  }
  constexpr std::size_t kBlocks = 1000;
  std::string twin;
  const TextFile worksheet("blocks.txt", StatisticsBlocks(kBlocks, kSeed, twin));
  const TextFile r_script("blocks.R", twin);
  const TextFile r_nothing("nothing.R", "");
  const std::vector<ProcessRun> runs = RunInTurns({{tallo_calc, worksheet.path()},
                                                   {"Rscript", r_script.path()},
                                                   {"Rscript", r_nothing.path()}});
  std::printf("1000 blocks: tallo-calc %.3f s, Rscript %.3f s less %.3f s to start\n",
              runs[0].seconds, runs[1].seconds, runs[2].seconds);
  Print("R against tallo-calc per block (1000 blocks)",
        (runs[1].seconds - runs[2].seconds) / runs[0].seconds, 50, true, "x");
}

}  // namespace tallo::bench
