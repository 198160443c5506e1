// Cost of the window collection's passes over N open windows: browser and shell reads per pass
// (each one a cross-process call in real life) and CPU time. A registration pass reads the
// shell's list once and recognises known windows by their object; a revocation pass looks only
// at what it knows of its own monitors, and reads nothing.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "monitor/engine.h"
#include "platform/sim/sim_ui.h"
#include "tracking/ie_windows.h"

namespace quellbox {
namespace {

struct Bench {
  explicit Bench(int windows, bool handles) {
    state.settings.KillerEnabled = true;
    shell.windows = std::make_shared<sim::SimShellWindows>(hub);
    for (int i = 0; i < windows; ++i) {
      auto w = std::make_shared<sim::SimBrowser>(hub, "w" + std::to_string(i));
      w->hwnd = handles ? 1000 + i : 0;
      w->locationUrl = w->locationName = "http://site" + std::to_string(i) + ".example/";
      shell.windows->Open(w, false);
      open.push_back(w);
    }
    collection = cIEWindows::Create(engine);
  }
  std::string dir = std::filesystem::temp_directory_path().string();
  sim::SimPorts ports{dir, dir + "/"};
  sim::SimHub& hub = ports.hub;
  sim::SimBrowserShell& shell = ports.shell;
  Services& services = ports.services;
  AppState state;
  Engine engine{services, state};
  std::vector<std::shared_ptr<sim::SimBrowser>> open;
  std::shared_ptr<cIEWindows> collection;
};

void Pass(benchmark::State& state, bool registration, bool handles) {
  Bench bench(static_cast<int>(state.range(0)), handles);
  // Warm up: windows without handles get their ids in a first registration pass.
  bench.shell.windows->FireRegistered();
  long reads = 0, passes = 0;
  for (auto _ : state) {
    long before = bench.hub.reads;
    registration ? bench.shell.windows->FireRegistered() : bench.shell.windows->FireRevoked();
    reads += bench.hub.reads - before;
    ++passes;
  }
  state.counters["reads_per_pass"] = static_cast<double>(reads) / static_cast<double>(passes);
  state.counters["monitors"] = bench.collection->Count();
}

void Registration(benchmark::State& s) { Pass(s, true, true); }
void Revocation(benchmark::State& s) { Pass(s, false, true); }
void RegistrationNoHandles(benchmark::State& s) { Pass(s, true, false); }
void RevocationNoHandles(benchmark::State& s) { Pass(s, false, false); }

#define QB_WINDOWS Arg(1)->Arg(10)->Arg(50)->Arg(200)
BENCHMARK(Registration)->QB_WINDOWS;
BENCHMARK(Revocation)->QB_WINDOWS;
BENCHMARK(RegistrationNoHandles)->QB_WINDOWS;
BENCHMARK(RevocationNoHandles)->QB_WINDOWS;

}  // namespace
}  // namespace quellbox

BENCHMARK_MAIN();
