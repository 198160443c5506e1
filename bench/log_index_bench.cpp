// The log viewer's one pass over url.log: lines indexed per second for logs of 20,000 to
// 200,000 lines (about 15 MB, a year of blocked pop-ups), and the cost of the rows on screen.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "core/text_file.h"
#include "core/url_log.h"

namespace quellbox {
namespace {

struct Log {
  explicit Log(long lines) {
    path = (std::filesystem::temp_directory_path() / ("quellbox-bench-" + std::to_string(lines) + ".log")).string();
    std::mt19937 random(7);
    std::string text;
    for (long i = 0; i < lines; ++i)
      text += UrlLogLine("12/5/2026", "1:05:09 PM",
                         "http://ads" + std::to_string(random() % 1000) + ".example/popup?campaign=" +
                             std::to_string(random()));
    WriteWholeFile(path, text);
    bytes = text.size();
  }
  ~Log() { std::filesystem::remove(path); }
  std::string path;
  std::size_t bytes = 0;
};

void IndexWholeLog(benchmark::State& state) {
  Log log(state.range(0));
  for (auto _ : state) {
    UrlLogIndex index;
    index.Update(log.path);
    benchmark::DoNotOptimize(index.Count());
  }
  state.counters["lines_per_second"] =
      benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["MB"] = static_cast<double>(log.bytes) / 1e6;
}

// What a screen of the viewer costs once the log is indexed: 40 rows, at the end and at the
// start in turn, so that every screen is read from the file.
void ShowScreenOfRows(benchmark::State& state) {
  Log log(state.range(0));
  UrlLogIndex index;
  index.Update(log.path);
  bool atEnd = true;
  for (auto _ : state) {
    std::size_t first = atEnd ? index.Rows() - 40 : 0;
    for (std::size_t row = first; row < first + 40; ++row)
      benchmark::DoNotOptimize(index.Row(log.path, row, 1024));
    atEnd = !atEnd;
  }
}

BENCHMARK(IndexWholeLog)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(ShowScreenOfRows)->Arg(20000)->Arg(200000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quellbox

BENCHMARK_MAIN();
