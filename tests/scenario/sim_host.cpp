#include <sstream>
#include <utility>
#include <vector>

#include "core/convert.h"
#include "platform/sim/sim_ui.h"
#include "scenario/scenario.h"
#include "shell/main_form.h"

namespace quellbox::sim {
namespace {

// The engine in this process, on the simulated platform.
class SimHost : public ScenarioHost {
 public:

  SimHub& Hub() override { return ports_.hub; }
  std::string ProgramDirectory() override { return dir_.str(); }
  void SetRegistryValue(const std::string& name, const std::string& value) override {
    ports_.registry.PutText(SettingsSection(ports_.env), name, value);
  }
  std::optional<std::string> RegistryValue(const std::string& name) override {
    return ports_.registry.GetText(SettingsSection(ports_.env), name);
  }
  void SetRandom(double fraction) override { ports_.clock.randoms.push_back(fraction); }
  void SetScreen(std::int32_t width, std::int32_t height) override {
    ports_.input.displays.front() = {0, 0, width, height};
  }
  void AddDisplay(const Input::Rect& display) override { ports_.input.displays.push_back(display); }
  void SetKey(int virtualKey, Key state) override {
    ports_.input.held.erase(virtualKey);
    ports_.input.toggled.erase(virtualKey);
    if (state == Key::Down) ports_.input.held.insert(virtualKey);
    if (state == Key::Toggled) ports_.input.toggled.insert(virtualKey);
  }
  void InstallProgram(const std::string& path, int major) override { ports_.env.programVersions[path] = major; }
  // A call that is never answered fails once Quellbox gives up on it; here it fails at once.
  void Hang(const std::string& object, const std::string& property, std::function<void()> meanwhile) override {
    ports_.hub.FailNextRead(object, property, std::move(meanwhile));
  }
  void SetOption(const std::string& name, const std::string& v) override {
    Settings& s = state_.settings;
    auto flag = [&] {
      auto b = TextToBoolean(v);
      if (!b) throw ScenarioError("'" + v + "' is no Boolean");
      return *b;
    };
    auto small = [&] {
      auto n = TextToInteger(v);
      if (!n || v.empty()) throw ScenarioError("'" + v + "' is no number");
      return *n;
    };
    if (name == "Mode") s.Mode = flag();
    else if (name == "Normalize") s.Normalize = flag();
    else if (name == "Spyware") s.Spyware = flag();
    else if (name == "KillerEnabled") s.KillerEnabled = flag();
    else if (name == "Log") s.Log = small();
    else if (name == "Keys") s.Keys = small();
    else if (name == "Sound") s.Sound = v;
    else if (name == "trust") state_.gblTrust.push_back(v);
    else throw ScenarioError("unknown option '" + name + "'");
  }

  bool ShellReadsHere() override { return true; }
  // Explorer's broadcast is posted: a Quellbox inside a read hears it when it is back in its
  // message loop.
  void ShellUp(const std::shared_ptr<SimShellWindows>& list, bool restarted) override {
    ports_.shell.windows = list;
    if (!restarted || !form_) return;
    if (ports_.hub.Depth() > 0) taskbarCreated_ = true;
    else form_->TaskbarCreated();
  }
  void CommandDone() override {
    if (std::exchange(taskbarCreated_, false) && form_) form_->TaskbarCreated();
  }
  void ShellDown() override { ports_.shell.windows = nullptr; }
  // The engine listens to the runner's list itself.
  void ShellOpened(const std::shared_ptr<SimBrowser>&, bool) override {}
  void ShellClosed(const std::shared_ptr<SimBrowser>&, bool) override {}
  void ShellNotified() override {}

  bool Start() override {
    form_ = std::make_unique<MainForm>(ports_.services, lock_, state_);
    form_->GetEngine().trace = [this](const std::string& line) { traces_.push_back(line); };
    return form_->FormLoad();
  }
  bool Started() override { return form_ != nullptr; }
  void Tick() override { form_->Timer1Timer(); }
  void Wait() override {
    form_->NoticeTick();
    form_->NoticeTick();
  }
  void Exit() override {
    form_->FormQueryUnload();
    form_->FormUnload();
    // Kept until the end: an exit inside a read unloads while Quellbox's handler is still on
    // the stack, as a close that arrives while a call waits does.
    unloaded_.push_back(std::move(form_));
  }
  void Finish() override {
    if (form_) form_->FormUnload();
  }

  Counters ReadCounters() override { return {state_.settings.WindowsLeft, state_.settings.ClosedSinceStart}; }
  std::vector<std::string> TakeSounds() override {
    std::vector<std::string> sounds;
    for (std::size_t i = seenSounds_; i < ports_.sound.played.size(); ++i) {
      std::string s = ports_.sound.played[i];
      auto dir = s.find(dir_.str());
      if (dir != std::string::npos) s.replace(dir, dir_.str().size(), "<dir>");
      sounds.push_back(s);
    }
    seenSounds_ = ports_.sound.played.size();
    return sounds;
  }
  std::vector<std::optional<std::string>> TakeBalloons() override {
    auto& shown = ports_.tray.balloons;
    std::vector<std::optional<std::string>> balloons(shown.begin() + static_cast<long>(seenBalloons_), shown.end());
    seenBalloons_ = shown.size();
    return balloons;
  }
  std::vector<std::string> TakeOpened() override {
    std::vector<std::string> opened;
    for (std::size_t i = seenStarted_; i < ports_.launcher.started.size(); ++i)
      opened.push_back(ports_.launcher.started[i].commandLine);
    seenStarted_ = ports_.launcher.started.size();
    return opened;
  }
  frmMenu& Menu() {
    if (!form_) throw ScenarioError("the tray menu before start");
    return form_->Menu();
  }
  std::optional<std::vector<std::string>> BlockedMenu() override {
    std::vector<std::string> captions;
    for (const MenuItem& item : Menu().BlockedItems())
      captions.push_back(item.caption + (item.grayed ? " (grayed)" : ""));
    return captions;
  }
  void ChooseBlocked(int position) override {
    for (const MenuItem& item : Menu().BlockedItems())
      if (!item.separator && --position == 0) return item.grayed ? void() : Menu().Click(item.name);
    throw ScenarioError("Blocked pop-ups has fewer items");
  }
  std::optional<std::vector<std::string>> MonitorKeys() override {
    if (!form_ || !form_->IEWin()) return std::nullopt;
    return form_->IEWin()->Keys();
  }
  std::string LogLine(const std::string& line) override { return line; }
  std::vector<std::string> TakeTraces() override { return std::exchange(traces_, {}); }
  std::optional<std::string> Flags() override {
    const PopupFlags& f = state_.flags;
    std::ostringstream out;
    out << "flags: UserGesture " << f.UserGesture << ", NewWindowAllowed " << f.NewWindowAllowed
        << ", ForwardProbePending " << f.ForwardProbePending;
    return out.str();
  }
  std::optional<std::string> Slots(const SimBrowser& window) override {
    auto monitor = form_->IEWin()->IE(std::to_string(window.hwnd.value_or(0)));
    if (!monitor) throw ScenarioError("no monitor for '" + window.name + "'");
    std::ostringstream out;
    out << "slots of " << window.name << ":";
    for (int k = 0; k < IE_Class::kSlots; ++k)
      if (monitor->SlotDocument(k)) out << " " << k << "=" << monitor->DocumentUrl(k);
    out << " next " << monitor->NextSlot();
    return out.str();
  }

 private:
  TempDir dir_, temp_;
  SimPorts ports_{dir_.str(), temp_.str() + "/"};
  std::shared_ptr<SimInstanceTable> instances_ = std::make_shared<SimInstanceTable>();
  SimInstanceLock lock_{instances_};
  AppState state_;
  std::unique_ptr<MainForm> form_;
  std::vector<std::unique_ptr<MainForm>> unloaded_;
  bool taskbarCreated_ = false;  // posted while Quellbox was inside a read
  std::size_t seenSounds_ = 0, seenStarted_ = 0, seenBalloons_ = 0;
  std::vector<std::string> traces_;
};

}  // namespace

ScenarioResult RunScenario(const std::string& text) {
  SimHost host;
  return RunScenario(text, host);
}

}  // namespace quellbox::sim
