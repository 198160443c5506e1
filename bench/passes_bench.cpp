// Cost of the window collection's passes over N open windows: browser and shell reads per pass
// (each one a cross-process call in real life) and CPU time, for the plain passes that ask the
// shell anew for every monitor and for the passes that take one look at the shell. Windows are
// recognised by their object, so a pass reads the shell's list and nothing of the windows.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "monitor/reports.h"
#include "platform/sim/sim_ui.h"
#include "tracking/ie_windows.h"

namespace quellbox {
namespace {

struct Bench {
  explicit Bench(int windows, bool remember, bool handles) {
    engine.rememberWindowIds = remember;
    state.settings.KillerEnabled = true;
    shell.windows = std::make_shared<sim::SimShellWindows>(hub);
    for (int i = 0; i < windows; ++i) {
      auto w = std::make_shared<sim::SimBrowser>(hub, "w" + std::to_string(i));
      w->hwnd = handles ? 1000 + i : 0;
      w->locationUrl = w->locationName = "http://site" + std::to_string(i) + ".example/";
      shell.windows->Open(w, false);
    }
    collection = cIEWindows::Create(engine);
  }
  std::string dir = std::filesystem::temp_directory_path().string();
  sim::SimPorts ports{dir, dir + "/"};
  sim::SimHub& hub = ports.hub;
  sim::SimBrowserShell& shell = ports.shell;
  Services& services = ports.services;
  AppState state;
  Engine engine{services, state, nullptr};
  std::shared_ptr<cIEWindows> collection;
};

void Pass(benchmark::State& state, bool registration, bool remember, bool handles) {
  Bench bench(static_cast<int>(state.range(0)), remember, handles);
  // Warm up: windows without handles get their ids and monitors in a first registration pass,
  // and a remembered id is learnt on the first pass that reads it.
  bench.shell.windows->FireRegistered();
  if (!registration) bench.shell.windows->FireRevoked();
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

void RegistrationPlain(benchmark::State& s) { Pass(s, true, false, true); }
void RegistrationRemembered(benchmark::State& s) { Pass(s, true, true, true); }
void RevocationPlain(benchmark::State& s) { Pass(s, false, false, true); }
void RevocationRemembered(benchmark::State& s) { Pass(s, false, true, true); }
void RegistrationPlainNoHandles(benchmark::State& s) { Pass(s, true, false, false); }
void RegistrationRememberedNoHandles(benchmark::State& s) { Pass(s, true, true, false); }
void RevocationPlainNoHandles(benchmark::State& s) { Pass(s, false, false, false); }
void RevocationRememberedNoHandles(benchmark::State& s) { Pass(s, false, true, false); }

#define QB_WINDOWS Arg(1)->Arg(10)->Arg(50)->Arg(200)
BENCHMARK(RegistrationPlain)->QB_WINDOWS;
BENCHMARK(RegistrationRemembered)->QB_WINDOWS;
BENCHMARK(RevocationPlain)->QB_WINDOWS;
BENCHMARK(RevocationRemembered)->QB_WINDOWS;
BENCHMARK(RegistrationPlainNoHandles)->QB_WINDOWS;
BENCHMARK(RegistrationRememberedNoHandles)->QB_WINDOWS;
BENCHMARK(RevocationPlainNoHandles)->QB_WINDOWS;
BENCHMARK(RevocationRememberedNoHandles)->QB_WINDOWS;

}  // namespace
}  // namespace quellbox

BENCHMARK_MAIN();
