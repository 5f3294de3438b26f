// The engine's speed and memory on generated worksheets: throughput, the peak of heap
// memory during one calculation (against the worksheet's size), and the time `wc -w`
// takes over the same text as the practical floor of a text scan.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <new>
#include <string>

#include "bench/targets.h"
#include "bench/worksheet_generator.h"
#include "engine/calculate.h"

namespace {

// Heap in use and its peak, counted by the global allocation functions below. The
// benchmark runs on one thread.
std::size_t g_heap_in_use = 0;
std::size_t g_heap_peak = 0;

void* Allocate(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  g_heap_in_use += malloc_usable_size(block);
  if (g_heap_in_use > g_heap_peak) g_heap_peak = g_heap_in_use;
  return block;
}

void Release(void* block) noexcept {
  if (block == nullptr) return;
  g_heap_in_use -= malloc_usable_size(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// Best of three runs of `wc -w` over the text, from a file in the page cache.
double WordCountSeconds(const std::string& text) {
  const std::string path = "/tmp/tallo-bench-worksheet.txt";
  std::ofstream(path, std::ios::binary) << text;
  const std::string command = "wc -w < " + path + " > /dev/null";
  double best = 1e30;
  for (int run = 0; run < 3; ++run) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return 0;
    best = std::min(best, Seconds(Clock::now() - start));
  }
  std::remove(path.c_str());
  return best;
}

// Generated texts are kept between the benchmark's repetitions.
const std::string& Text(const std::string& key, const std::function<std::string()>& make) {
  static std::map<std::string, std::string> texts;
  auto found = texts.find(key);
  if (found == texts.end()) found = texts.emplace(key, make()).first;
  return found->second;
}

void Calculate(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    tallo::Calculation calculation = tallo::CalculateWorksheet(text);
    benchmark::DoNotOptimize(calculation);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));

  // One more calculation, alone, for its time and the peak of memory on top of the text.
  const std::size_t before = g_heap_in_use;
  g_heap_peak = before;
  const auto start = Clock::now();
  { const tallo::Calculation calculation = tallo::CalculateWorksheet(text); }
  const double seconds = Seconds(Clock::now() - start);
  const double size = static_cast<double>(text.size());
  const double peak = static_cast<double>(g_heap_peak - before) + size;  // the text included
  const double word_count = WordCountSeconds(text);
  state.counters["MB"] = size / 1e6;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["peak_x"] = peak / size;
  state.counters["wc_ms"] = word_count * 1e3;
  state.counters["x_wc"] = word_count > 0 ? seconds / word_count : 0;
}

// Processor time of this process, which other programs on a busy machine do not lengthen.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// What asking for reasons costs: the same worksheet calculated without and with them, in
// turns so that both meet the same conditions, the least processor time of seven runs
// each; and the difference in per cent of the plain calculation.
void CompareReasons(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    tallo::Calculation calculation = tallo::CalculateWorksheet(text, {.reasons = true});
    benchmark::DoNotOptimize(calculation);
  }
  std::array<double, 2> best = {1e30, 1e30};  // without, with
  for (int run = 0; run < 14; ++run) {
    const bool reasons = run % 2 == 1;
    const double start = CpuSeconds();
    {
      const tallo::Calculation calculation =
          tallo::CalculateWorksheet(text, {.reasons = reasons});
    }
    best[reasons] = std::min(best[reasons], CpuSeconds() - start);
  }
  state.counters["plain_ms"] = best[0] * 1e3;
  state.counters["reasons_ms"] = best[1] * 1e3;
  state.counters["extra_pct"] = (best[1] / best[0] - 1) * 100;
}

constexpr std::uint32_t kSeed = 20261206;
constexpr std::size_t kMB = 1000 * 1000;

void Register(const std::string& name, std::function<std::string()> make, int iterations) {
  benchmark::RegisterBenchmark(name.c_str(), [name, make](benchmark::State& state) {
    Calculate(state, Text(name, make));
  })->Unit(benchmark::kMillisecond)->Iterations(iterations);
}

void RegisterWorkloads() {
  using namespace tallo::bench;
  benchmark::RegisterBenchmark("reasons/mixed/10MB", [](benchmark::State& state) {
    CompareReasons(state, Text("mixed/10MB", [] { return MixedWorksheet(10 * kMB, kSeed); }));
  })->Unit(benchmark::kMillisecond)->Iterations(3);
  Register("prose/8MB", [] { return ProseText(8 * kMB, kSeed); }, 5);
  Register("scalar_lines/8MB", [] { return ScalarLines(8 * kMB, kSeed); }, 3);
  for (std::size_t megabytes : {1, 10, 100}) {
    Register("mixed/" + std::to_string(megabytes) + "MB",
             [megabytes] { return MixedWorksheet(megabytes * kMB, kSeed); },
             megabytes == 100 ? 1 : 3);
  }
  Register("statements/10000_over_100_data_sets",
           [] { return StatementsOverDataSets(10000, 100, kSeed); }, 5);
  for (const char* statement : {"mean(a)=", "sd(a)=", "ttest(a,b)=", "mwtest(a,b)=", "kwtest(t)="}) {
    Register(std::string("list_1M/") + statement,
             [statement] { return LargeListsWith(1000000, statement, kSeed); }, 3);
  }
  for (const char* statement : {"anovaow(t)=", "vcmtrx(t)=", "pca(t)=", "mra(t)="}) {
    Register(std::string("table_20000x20/") + statement,
             [statement] { return LargeTableWith(20000, 20, statement, kSeed); }, 3);
  }
}

}  // namespace

// Besides the benchmark's own arguments: --targets_only skips the workloads, --no_targets
// the figures measured on whole processes. "--measure COMMAND..." is how the targets run a
// process (MeasureCommand).
int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--measure") return tallo::bench::MeasureCommand(argv + 2);
  bool workloads = true;
  bool targets = true;
  int kept = 1;
  for (int k = 1; k < argc; ++k) {
    const std::string argument = argv[k];
    if (argument == "--targets_only") {
      workloads = false;
    } else if (argument == "--no_targets") {
      targets = false;
    } else {
      argv[kept++] = argv[k];
    }
  }
  argc = kept;
  if (workloads) {
    RegisterWorkloads();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  }
  if (targets) tallo::bench::PrintTargets(TALLO_CALC);
  return 0;
}
