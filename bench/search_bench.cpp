// The plain loop against the fast search, side by side in one run, on the
// same parsed inputs. After the usual table it prints, per case, the match
// count and how many times faster the fast search was.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli_app.h"
#include "search.h"

namespace tapsmith {
namespace {

struct Inputs {
  const char* vo;
  const char* vo2;
  const char* r1min;
  const char* r1max;
  const char* vfb;
};

struct Case {
  std::string name;
  std::string list;  // empty: the default List1
  Inputs inputs;
  int configuration;
  bool serial;
  int best = 0;  // with a tolerance of 1 %: the designer's search for the best N
  double pinCurrent = 0.0;  // with best: --pin-current, when not 0
  bool rankByYield = false;  // with best: --rank yield
  bool worstCase = false;    // with best: --worst-case
  R4Mode r4 = R4Mode::None;  // --r4
};

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  if (text.str().empty()) std::fprintf(stderr, "cannot read %s\n", path.c_str());
  return text.str();
}

// 501 values spaced evenly on a log scale from 10 ohm to 10 Mohm, in the
// list's own notation.
std::string LogSpacedList() {
  std::string text;
  for (int n = 0; n < kListEntryLimit; ++n) {
    double value = 10.0 * std::pow(1e6, n / 500.0);
    char line[32];
    if (value < 1e3) {
      std::snprintf(line, sizeof line, "%.3g\r\n", value);
    } else if (value < 1e6) {
      std::snprintf(line, sizeof line, "%.3gk\r\n", value / 1e3);
    } else {
      std::snprintf(line, sizeof line, "%.3gM\r\n", value / 1e6);
    }
    text += line;
  }
  return text;
}

// A parsed case: the tables both searches start from.
struct Prepared {
  std::unique_ptr<AppState> state = std::make_unique<AppState>();
  std::unique_ptr<SearchWorkspace> workspace = std::make_unique<SearchWorkspace>();
  SearchOptions options{};
  DesignRequest design;
  bool ok = false;
};

// The request of `--tolerance 1% --best N`, with `--pin-current` and
// `--rank yield` when the case asks for them.
void UseBestRequest(const Case& c, Prepared* prepared) {
  DesignRequest* design = &prepared->design;
  design->tolerancePercent = 1.0;
  design->bestCount = c.best;
  if (c.pinCurrent != 0.0) design->pinCurrent = c.pinCurrent;
  if (c.rankByYield) {
    design->bestRank = BestRank::Yield;
  }
  design->worstCaseInWindow = c.worstCase;
  prepared->options.design = design;
  prepared->options.selection = &prepared->workspace->selection;
}

Prepared* Prepare(const Case& c) {
  auto* prepared = new Prepared;
  AppState* state = prepared->state.get();
  InitialiseState(state);
  if (!c.list.empty()) SetSlotText(state, SlotList1, c.list.c_str());
  SetSlotText(state, SlotVoMinTyp, c.inputs.vo);
  SetSlotText(state, SlotVoMaxPercent, c.inputs.vo2);
  SetSlotText(state, SlotR1Min, c.inputs.r1min);
  SetSlotText(state, SlotR1Max, c.inputs.r1max);
  SetSlotText(state, SlotVfb, c.inputs.vfb);
  SetSetting(state, Configuration, c.configuration);
  SetSetting(state, SerialMode, c.serial ? 1 : 0);
  prepared->options = SearchOptionsFromState(*state);
  prepared->options.r4 = c.r4;
  prepared->ok = ParseSearchRequest(state, &prepared->workspace->request) &&
                 ParseStockList(state, &prepared->workspace->stock);
  if (!prepared->ok) std::fprintf(stderr, "case %s does not parse\n", c.name.c_str());
  if (c.best > 0) UseBestRequest(c, prepared);
  return prepared;
}

// E24 from 10 ohm to 1 Mohm, as the built-in list writes it.
std::string E24To1M() {
  auto state = std::make_unique<AppState>();
  InitialiseState(state.get());
  std::string list = SlotText(*state, SlotE24);
  return list.substr(0, list.find("\r\n1.1M\r\n") + 2);
}

std::vector<Case> Cases() {
  const std::string e96 = ReadFile(std::string(TAPSMITH_BENCH_DATA) + "/e96-10R-to-1M.txt");
  const std::string log501 = LogSpacedList();
  const char* const kLetters = "abcd";
  // [a] and [b] step the output up from Vfb, [c] and [d] down from it.
  const Inputs kUp{"1.35", "0.1%", "1k", "9.1k", "0.7"};
  const Inputs kDown{"0.45", "0.1%", "1k", "9.1k", "0.7"};
  // A narrower R1 range that stays below 1000 matches: a whole pass.
  const Inputs kUpWhole{"1.35", "0.1%", "4.7k", "5.1k", "0.7"};
  const Inputs kDownWhole{"0.45", "0.1%", "4.7k", "5.1k", "0.7"};

  std::vector<Case> cases;
  cases.push_back({"defaults", "", {"1.35", "0.01%", "1k", "9.1k", "0.7"}, 0, false});
  for (const auto& [label, list] : {std::pair{"e96", e96}, std::pair{"log501", log501}}) {
    for (int configuration = 0; configuration < 4; ++configuration) {
      for (bool serial : {false, true}) {
        std::string name = std::string(label) + "/" + kLetters[configuration] +
                           (serial ? "/serial" : "/parallel");
        cases.push_back({name, list, configuration < 2 ? kUp : kDown, configuration, serial});
        cases.push_back({name + "/whole", list, configuration < 2 ? kUpWhole : kDownWhole,
                         configuration, serial});
      }
    }
  }
  // The designer's search: every R1, a 5 % window, the best 10 with their
  // worst case; 3.3 V from 0.8 V in [a] and [b], 0.5 V in [c] and [d]; and
  // the same with a feedback pin drawing 50 nA, and ranked by yield.
  for (int configuration = 0; configuration < 4; ++configuration) {
    for (bool serial : {false, true}) {
      Inputs inputs{configuration < 2 ? "3.3" : "0.5", "5%", "10", "1M", "0.8"};
      const std::string form = std::string("/e96/") + kLetters[configuration] + (serial ? "/serial" : "/parallel");
      cases.push_back({"best10" + form, e96, inputs, configuration, serial, 10});
      cases.push_back({"best10-pin50n" + form, e96, inputs, configuration, serial, 10, 50e-9});
    }
  }
  Inputs designer{"3.3", "5%", "10", "1M", "0.8"};
  cases.push_back({"best10-yield/e96/a/parallel", e96, designer, 0, false, 10, 0.0, true});
  cases.push_back({"best10-yield-pin50n/e96/a/parallel", e96, designer, 0, false, 10, 50e-9, true});
  // Four resistors: R4 beside R1 in parallel, R2 // R3, every worst case
  // inside a 5 % window, on E24 from 10 ohm to 1 Mohm, where the plain
  // four-fold loop takes seconds.
  cases.push_back({"best10-wc-r4/e24/a/parallel", E24To1M(), designer, 0, false, 10, 0.0, false, true,
                   R4Mode::Parallel});
  cases.push_back({"e96/stop-at-1000", e96, {"1.35", "2%", "10", "1M", "0.7"}, 0, false});
  cases.push_back({"e96/nothing-found", e96, {"1.35", "0.1%", "10", "1M", "0.7"}, 2, false});
  return cases;
}

void BenchSearch(benchmark::State& bench, Prepared* prepared, bool fast) {
  SearchWorkspace* workspace = prepared->workspace.get();
  for (auto _ : bench) {
    if (fast) {
      RunSearch(workspace->request, workspace->stock, prepared->options, &workspace->matches);
    } else {
      RunPlainSearch(workspace->request, workspace->stock, prepared->options, &workspace->matches);
    }
    benchmark::DoNotOptimize(workspace->matches.count);
  }
  bench.counters["matches"] = workspace->matches.count;
}

void BenchExecute(benchmark::State& bench, Prepared* prepared) {
  for (auto _ : bench) benchmark::DoNotOptimize(Execute(prepared->state.get()).reportedLines);
}

// A whole tapsmith-cli process, its output thrown away.
void BenchProcess(benchmark::State& bench, std::vector<std::string> args) {
  args.insert(args.begin(), TAPSMITH_CLI);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  for (auto _ : bench) {
    pid_t child;
    int status = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
        waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      bench.SkipWithError("tapsmith-cli did not run");
      break;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
}

// A whole tapsmith-cli run inside this process, as the page's WebAssembly
// runs it (web/bench/speed.mjs compares the two).
void BenchInProcess(benchmark::State& bench, std::vector<std::string> args) {
  args.insert(args.begin(), "tapsmith-cli");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  for (auto _ : bench) {
    std::ostringstream out, err;
    if (RunCli(static_cast<int>(argv.size()), argv.data(), out, err) != 0) {
      bench.SkipWithError("tapsmith-cli found nothing");
      break;
    }
    benchmark::DoNotOptimize(out.str().size());
  }
}

// Keeps the console output and remembers each run's time for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      std::string name = run.benchmark_name();
      double seconds = run.GetAdjustedRealTime();
      auto matches = run.counters.find("matches");
      if (matches != run.counters.end()) matches_[Stem(name)] = static_cast<int>(matches->second);
      if (EndsWith(name, "/plain")) plain_[Stem(name)] = seconds;
      if (EndsWith(name, "/fast")) fast_[Stem(name)] = seconds;
      if (EndsWith(name, "/process")) process_[Stem(name)] = seconds;
    }
  }
  void PrintRatios() const {
    std::printf("\n%-22s %8s %14s %14s %9s\n", "case", "matches", "plain", "fast", "ratio");
    for (const auto& [stem, plain] : plain_) {
      auto fast = fast_.find(stem);
      if (fast == fast_.end()) continue;
      std::printf("%-22s %8d %14.1f %14.1f %8.0fx\n", stem.c_str(), matches_.at(stem), plain,
                  fast->second, plain / fast->second);
    }
    std::printf("(times in %s per search)\n", "ns");
    auto version = process_.find("cli/version");
    for (const auto& [stem, milliseconds] : process_) {
      if (version == process_.end() || stem == version->first) continue;
      std::printf("%s: %.2f ms a run, %.2f times the %.2f ms of tapsmith-cli --version\n",
                  stem.c_str(), milliseconds, milliseconds / version->second, version->second);
    }
  }

 private:
  static bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
  }
  static std::string Stem(const std::string& name) { return name.substr(0, name.rfind('/')); }

  std::map<std::string, double> plain_, fast_, process_;
  std::map<std::string, int> matches_;
};

}  // namespace
}  // namespace tapsmith

int main(int argc, char** argv) {
  using namespace tapsmith;
  std::vector<std::unique_ptr<Prepared>> prepared;
  for (const Case& c : Cases()) {
    prepared.emplace_back(Prepare(c));
    Prepared* p = prepared.back().get();
    if (!p->ok) return 1;
    benchmark::RegisterBenchmark((c.name + "/plain").c_str(), BenchSearch, p, false);
    benchmark::RegisterBenchmark((c.name + "/fast").c_str(), BenchSearch, p, true);
  }
  Case whole{"execute/log501", LogSpacedList(), {"1.35", "0.1%", "1k", "9.1k", "0.7"}, 0, false};
  prepared.emplace_back(Prepare(whole));
  benchmark::RegisterBenchmark("execute/log501/a/parallel", BenchExecute, prepared.back().get())
      ->Unit(benchmark::kMicrosecond);

  // The designer's case end to end, against the start of the process alone.
  benchmark::RegisterBenchmark("cli/version/process", BenchProcess,
                               std::vector<std::string>{"--version"})
      ->Unit(benchmark::kMillisecond);
  const std::vector<std::string> best10{"--list", "E96", "--vo", "3.3", "--vo2", "5%", "--vfb", "0.8",
                                        "--r1-min", "10", "--r1-max", "1M", "--tolerance", "1%",
                                        "--best", "10"};
  benchmark::RegisterBenchmark("cli/best10-e96-a-parallel/process", BenchProcess, best10)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("cli/best10-e96-a-parallel/in-process", BenchInProcess, best10)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("cli/best10-yield-pin50n-e96-a-parallel/process", BenchProcess,
                               std::vector<std::string>{"--list", "E96", "--vo", "3.3", "--vo2", "5%",
                                                        "--vfb", "0.8", "--r1-min", "10", "--r1-max",
                                                        "1M", "--tolerance", "1%", "--best", "10",
                                                        "--rank", "yield", "--pin-current", "50n"})
      ->Unit(benchmark::kMillisecond);
  // Four resistors: every worst case of 1.3e10 combinations counted.
  for (const char* series : {"E96", "E192"}) {
    benchmark::RegisterBenchmark(
        (std::string("cli/best10-wc-r4-") + series + "-a-parallel/process").c_str(), BenchProcess,
        std::vector<std::string>{"--list", series, "--vo", "3.3", "--vo2", "5%", "--vfb", "0.8", "--r1-min",
                                 "10", "--r1-max", "1M", "--tolerance", "1%", "--worst-case", "--best", "10",
                                 "--r4", "parallel"})
        ->Unit(benchmark::kMillisecond);
  }

  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
