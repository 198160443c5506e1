#pragma once
// Runs a scenario (docs/scenarios.md) and writes a transcript of what Quellbox did. The runner
// plays the browser windows and the shell's list; Quellbox runs in a host: the engine in this
// process on the simulated platform, or the real Quellbox.exe in another process.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_shell.h"

namespace quellbox::sim {

struct ScenarioResult {
  std::string transcript;
  std::string expected;                 // the commands and the indented lines under them
  std::vector<int> expectedLines;       // the file's line of each line of `expected`
  int errorLine = 0;                    // the line of a malformed command, with its error
  std::string error;
  bool simulatorOnly = false;           // the error is a command this host cannot honour
  long reads = 0;                       // browser and shell reads made
};

// A malformed command, or one the host cannot carry out.
struct ScenarioError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct SimulatorOnly : ScenarioError {
  explicit SimulatorOnly(const std::string& what) : ScenarioError(what + " is simulator-only") {}
};

// What the runner needs of the place where Quellbox runs. Methods may throw ScenarioError.
class ScenarioHost {
 public:
  struct Counters {
    std::int32_t lifetime = 0, sinceStart = 0;
    bool operator==(const Counters&) const = default;
  };
  virtual ~ScenarioHost() = default;

  virtual SimHub& Hub() = 0;  // counts the reads of the runner's windows and runs "inside"
  virtual std::string ProgramDirectory() = 0;
  virtual void SetRegistryValue(const std::string& name, const std::string& value) = 0;
  virtual std::optional<std::string> RegistryValue(const std::string& name) = 0;
  virtual void SetRandom(double fraction) = 0;
  virtual void SetScreen(std::int32_t width, std::int32_t height) = 0;
  // A second display beside the primary one.
  virtual void AddDisplay(const Input::Rect& display) = 0;
  enum class Key { Up, Down, Toggled };  // Toggled: released, with its toggle bit set
  virtual void SetKey(int virtualKey, Key state) = 0;
  virtual void SetOption(const std::string& name, const std::string& value) = 0;
  // A program whose version resource gives `major`, at `path`.
  virtual void InstallProgram(const std::string& path, int major) = 0;
  // The next read of `property` of `object` is not answered, as by a tab whose script loops:
  // `meanwhile` runs while Quellbox waits, and Quellbox gives up on the read.
  virtual void Hang(const std::string& object, const std::string& property, std::function<void()> meanwhile) = 0;

  // Whether Quellbox's reads of the shell's list reach the runner's list ("inside shell").
  virtual bool ShellReadsHere() = 0;
  // The runner's shell list changed; a host whose Quellbox listens elsewhere passes it on.
  virtual void ShellUp(const std::shared_ptr<SimShellWindows>& list, bool restarted) = 0;
  virtual void ShellDown() = 0;
  virtual void ShellOpened(const std::shared_ptr<SimBrowser>& window, bool notify) = 0;
  virtual void ShellClosed(const std::shared_ptr<SimBrowser>& window, bool notify) = 0;
  virtual void ShellNotified() = 0;

  // A command is done: what it set off when Quellbox gets back to its message loop happens now.
  virtual void CommandDone() = 0;
  virtual bool Start() = 0;  // false: another instance ran, so this one ended at once
  virtual bool Started() = 0;
  virtual void Tick() = 0;
  // Seconds pass with nothing happening: the two-second timer fires at least twice.
  virtual void Wait() = 0;
  virtual void Exit() = 0;
  virtual void Finish() = 0;  // the scenario is over

  virtual Counters ReadCounters() = 0;
  virtual std::vector<std::string> TakeSounds() = 0;  // "beep 50 500", "wave <dir>/357.wav"
  // The balloons shown since the last call: their text, or nullopt where only the showing is seen.
  virtual std::vector<std::optional<std::string>> TakeBalloons() = 0;
  // The addresses Quellbox opened in a browser of their own since the last call.
  virtual std::vector<std::string> TakeOpened() = 0;
  // The tray menu's Blocked pop-ups submenu as shown: a caption per item, "-" for a separator,
  // " (grayed)" after one that cannot be chosen; nullopt where it cannot be read.
  virtual std::optional<std::vector<std::string>> BlockedMenu() = 0;
  // Chooses the submenu's item at `position` (from 1, separators not counted) from the tray menu.
  virtual void ChooseBlocked(int position) = 0;
  virtual std::optional<std::vector<std::string>> MonitorKeys() = 0;  // none before start
  // The lines the engine traced since the last call ("judged a new window: ...").
  virtual std::vector<std::string> TakeTraces() = 0;
  // A line of url.log as the transcript shows it.
  virtual std::string LogLine(const std::string& line) = 0;
  // The process-wide flags and a window's document slots; nullopt where they cannot be seen.
  virtual std::optional<std::string> Flags() = 0;
  virtual std::optional<std::string> Slots(const SimBrowser& window) = 0;
};

// What a host prints in place of the lines of a display it cannot show.
inline constexpr const char* kNotShownHere = "  (simulator only)";

ScenarioResult RunScenario(const std::string& text, ScenarioHost& host);
// The engine on the simulated platform.
ScenarioResult RunScenario(const std::string& text);

// Compares a transcript with the lines its file expects, line by line, and writes "ok FILE" or
// "FAILED FILE:LINE" with the first line that differs; true when they agree. `otherHost`: the
// transcript comes from a host other than the simulator, so a "(simulator only)" line stands for
// the lines the simulator printed there, and the random window ids (the numbers stored with
// "PutProperty quellbox") are named by order of appearance.
bool CheckTranscript(std::ostream& out, const std::string& file, const ScenarioResult& result, bool otherHost);

}  // namespace quellbox::sim
