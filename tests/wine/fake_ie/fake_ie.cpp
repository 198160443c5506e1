// The fake browser: plays a scenario's browser windows and the shell's window list for the real
// Quellbox.exe, which runs in a process of its own and reaches them through COM, as it reaches
// Internet Explorer and Explorer on Windows.
//
//   fake_ie.exe run --exe Q --dir D --trace T [--check] [--demo [--desktop NAME]] [--out O] FILE...
//       Runs each scenario against Quellbox.exe Q installed in the program directory D, and
//       prints the transcripts (or, with --check, compares them with the expected ones) to O.
//       T is where this process's standard error goes: Quellbox's traced calls of the sound
//       functions are read from there. With --demo the windows are shown (on the desktop
//       named by --desktop), and once the scenario has played (demo.played appears beside T)
//       they are served until Quellbox is closed.
//   fake_ie.exe shell
//       Serves the shell's window list (the stand-in for Explorer) until it is ended.
//   fake_ie.exe tray-outage SECONDS
//       Plays an Explorer restart whose notification area refuses icons for a while.
//   fake_ie.exe hung-quellbox
//       Plays a Quellbox that has hung: its window and mutex, and no message ever read.
//   fake_ie.exe close-at-start EXE
//       Starts Quellbox.exe EXE and asks it to close as soon as its window exists, before its
//       start-up is over; prints "ended" and its exit code, or "running" after 20 s.
//
// Only tests use it. CLSID_ShellWindows is treated as kFakeShellWindowsClsid in the prefix, so
// that Quellbox's CoCreateInstance reaches the list served here, not Wine's own.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/convert.h"
#include "core/text_file.h"
#include "platform/win32/apartment.h"
#include "platform/win32/win_environment.h"
#include "scenario/scenario.h"
#include "win32/com_helpers.h"
#include "win32/com_model.h"

namespace quellbox::win32::testing {
namespace {

using sim::ScenarioError;
using sim::ScenarioHost;

constexpr char kSettingsKey[] = "Software\\Tarnik\\Quellbox";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kShellWindowsKey[] = "Software\\Classes\\CLSID\\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}";

std::string GuidText(const GUID& g) {
  wchar_t text[40];
  StringFromGUID2(g, text, 40);
  return Narrow(text, wcslen(text));
}

void SetText(HKEY root, const std::string& key, const std::string& name, const std::string& value, REGSAM view = 0) {
  UniqueHkey k;
  if (RegCreateKeyExW(root, Wide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, k.put(), nullptr) !=
      ERROR_SUCCESS)
    return;
  std::wstring data = Wide(value);
  RegSetValueExW(k.get(), name.empty() ? nullptr : Wide(name).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::string> GetText(HKEY root, const char* key, const std::string& name) {
  wchar_t data[4096];
  DWORD size = sizeof data - sizeof(wchar_t), type = 0;
  UniqueHkey k;
  if (RegOpenKeyExW(root, Wide(key).c_str(), 0, KEY_QUERY_VALUE, k.put()) != ERROR_SUCCESS) return std::nullopt;
  LONG rc = RegQueryValueExW(k.get(), Wide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
  data[size / sizeof(wchar_t)] = L'\0';
  return Narrow(data, wcslen(data));
}

// The lines a file has gained since `seen`, its size at the last look, which it then becomes.
std::vector<std::string> NewLines(const std::string& path, std::size_t& seen) {
  std::string text = ReadWholeFile(path).value_or("");
  std::istringstream in(text.size() > seen ? text.substr(seen) : "");
  seen = text.size();
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Runs whatever arrives for this thread (COM calls from Quellbox among them) for `ms`.
void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
  }
}

// Told by the process serving the shell's list which read it is answering.
class ShellWatcher final : public ComObject<NoTypeInfo<>> {
 public:
  explicit ShellWatcher(std::function<void(const std::string&)> reading) : reading_(std::move(reading)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return Answer(riid, out, this, {IID_IUnknown, IID_IDispatch});
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    if (id != kShellReading || !params || params->cArgs != 1 || V_VT(&params->rgvarg[0]) != VT_BSTR)
      return DISP_E_MEMBERNOTFOUND;
    reading_(Narrow(V_BSTR(&params->rgvarg[0])));
    return S_OK;
  }

 private:
  std::function<void(const std::string&)> reading_;
};

// Quellbox.exe in a process of its own, with this process serving its browser windows and, in a
// child process, the shell's window list.
class WineHost : public ScenarioHost {
 public:
  struct Paths {
    std::string exe, directory, self, trace;
    bool demo = false;  // the windows are shown
    std::wstring desktop;  // where Quellbox runs, when not this process's own
  };
  explicit WineHost(const Paths& paths) : paths_(paths) {
    if (paths_.demo) model_.ShowWindows();
    DeleteFileAt(FailureLog());  // the previous scenario's
    DeleteFileAt(OpenedLog());
    traceSeen_ = ReadWholeFile(paths_.trace).value_or("").size();
  }
  ~WineHost() override {
    try {
      Finish();
    } catch (const ScenarioError&) {
      // reported by the runner when the scenario ended; here only what is left is ended
    }
  }

  sim::SimHub& Hub() override { return *hub_; }
  std::string ProgramDirectory() override { return paths_.directory; }
  void SetRegistryValue(const std::string& name, const std::string& value) override {
    SetText(HKEY_CURRENT_USER, kSettingsKey, name, value);
  }
  std::optional<std::string> RegistryValue(const std::string& name) override {
    return GetText(HKEY_CURRENT_USER, kSettingsKey, name);
  }
  void SetRandom(double) override {}  // Quellbox's own ids: the comparison names them
  void SetScreen(std::int32_t width, std::int32_t height) override {
    if (width != GetSystemMetrics(SM_CXSCREEN) || height != GetSystemMetrics(SM_CYSCREEN))
      throw sim::SimulatorOnly("a screen size other than the desktop's");
  }
  void AddDisplay(const Input::Rect&) override { throw sim::SimulatorOnly("display"); }
  void SetKey(int virtualKey, Key state) override {
    auto press = [&](DWORD flags) {
      keybd_event(static_cast<BYTE>(virtualKey), 0, flags, 0);
      Pump(150);  // the system's key state follows the event
    };
    if (state != Key::Toggled) return press(state == Key::Down ? 0 : KEYEVENTF_KEYUP);
    // Every press flips the toggle bit: press and release until it is set.
    for (int i = 0; i < 2 && !(GetKeyState(virtualKey) & 1); ++i) {
      press(0);
      press(KEYEVENTF_KEYUP);
    }
    if (!(GetKeyState(virtualKey) & 1)) throw ScenarioError("the key's toggle bit cannot be set");
  }
  // A program file with the version asked for: a stand-in built with the tests, copied there.
  void InstallProgram(const std::string& path, int major) override {
    std::string stub = Directory(paths_.self) + "\\iexplore" + std::to_string(major) + ".exe";
    if (!FileExists(stub)) throw sim::SimulatorOnly("a browser of version " + std::to_string(major));
    for (std::size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
      CreateDirectoryW(Wide(path.substr(0, slash)).c_str(), nullptr);
    if (!CopyFileW(Wide(stub).c_str(), Wide(path).c_str(), FALSE))
      throw ScenarioError("cannot put a browser at " + path + ": error " + std::to_string(GetLastError()));
  }
  // The read is held while `meanwhile` runs and until Quellbox has surely given up on it, then
  // answered: an answer that arrives after Quellbox's bound must not count.
  void Hang(const std::string& object, const std::string& property, std::function<void()> meanwhile) override {
    if (object == "shell") throw sim::SimulatorOnly("hang shell");
    hub_->InsideNextRead(object, property, [this, meanwhile] {
      DWORD start = GetTickCount();
      meanwhile();
      while (GetTickCount() - start < CallBoundFilter::kCallBoundMs + 2000) Pump(50);
    });
  }
  // Blocking is switched as the user switches it: the tray menu's first item. The other
  // options are loaded at start-up and changed only in the options dialog.
  void SetOption(const std::string& name, const std::string& value) override {
    auto on = TextToBoolean(value);
    if (name != "KillerEnabled" || !on || !Started()) throw sim::SimulatorOnly("option " + name);
    if (*on == killerEnabled_) return;
    ChooseFromTrayMenu({VK_DOWN, VK_RETURN});
    killerEnabled_ = *on;
  }
  // Wine lets no other process read a menu, so the list cannot be shown from here; its items
  // are reached with the keyboard: the tray menu's fifth item, then down the list.
  std::optional<std::vector<std::string>> BlockedMenu() override { return std::nullopt; }
  void ChooseBlocked(int position) override {
    if (!Started()) throw ScenarioError("the tray menu before start");
    std::vector<int> keys(5, VK_DOWN);
    keys.push_back(VK_RIGHT);  // opens the list on its first item
    keys.insert(keys.end(), position - 1, VK_DOWN);
    keys.push_back(VK_RETURN);
    auto opened = ReadWholeFile(OpenedLog()).value_or("").size();
    ChooseFromTrayMenu(keys);
    // A browser it starts says so soon after; the other items open nothing.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 3000;) {
      if (ReadWholeFile(OpenedLog()).value_or("").size() != opened) break;
      Pump(100);
    }
  }
  std::vector<std::string> TakeOpened() override { return NewLines(OpenedLog(), openedSeen_); }

  bool ShellReadsHere() override { return true; }  // the child process serving it tells the hub
  void ShellUp(const std::shared_ptr<sim::SimShellWindows>& list, bool restarted) override {
    StartShell();
    for (const auto& window : list->windows) ShellOpened(window, false);
    if (!restarted) return;
    // What Explorer tells every top-level window when it has started again. A Quellbox inside
    // a read hears it once back in its message loop, so only then can it listen again.
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    awaitListeners_ = Started();
    if (hub_->Depth() == 0) CommandDone();
  }
  void CommandDone() override {
    if (std::exchange(awaitListeners_, false)) Settle([this] { return Listeners() > 0; });
  }
  // Explorer ends: Quellbox's calls on the list fail from now on. The class is withdrawn first,
  // as the system does for a process that ends; Wine's rpcss would otherwise hand the next
  // CoCreateInstance to the dead process.
  void ShellDown() override {
    if (shell_) ShellControl(shell_.get(), kShellRevoke);
    shell_ = nullptr;
    if (shellProcess_) {
      TerminateProcess(shellProcess_.get(), 1);
      WaitForSingleObject(shellProcess_.get(), 10000);
      shellProcess_.reset();
    }
  }
  // Each holds the list it calls: a "shell down" inside the call replaces shell_.
  void ShellOpened(const std::shared_ptr<sim::SimBrowser>& window, bool notify) override {
    if (auto shell = shell_) Tell(ShellControl(shell.get(), kShellOpen, model_.Browser(window).get(), notify));
  }
  void ShellClosed(const std::shared_ptr<sim::SimBrowser>& window, bool notify) override {
    if (auto shell = shell_) Tell(ShellControl(shell.get(), kShellClose, model_.Browser(window).get(), notify));
  }
  void ShellNotified() override {
    if (auto shell = shell_) Tell(ShellControl(shell.get(), kShellNotify));
  }

  bool Start() override {
    AwaitExit();
    // The lifetime count as Quellbox is about to load it: what "since start" counts from.
    baseline_ = 0;
    if (!RegistryValue("Version").value_or("").empty())
      baseline_ = TextToLong(RegistryValue("WindowsLeft").value_or("")).value_or(0);
    std::wstring command = Wide("\"" + paths_.exe + "\"");
    // Quellbox's calls of the sound functions are traced to this process's standard error, and
    // what it records goes to its failure log.
    char previous[256] = "";
    DWORD had = GetEnvironmentVariableA("WINEDEBUG", previous, sizeof previous);
    SetEnvironmentVariableA("WINEDEBUG", "-all,+relay");
    SetEnvironmentVariableW(L"QUELLBOX_COM_LOG", Wide(FailureLog()).c_str());
    SetEnvironmentVariableW(L"QUELLBOX_OPENED_LOG", Wide(OpenedLog()).c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!paths_.desktop.empty()) startup.lpDesktop = paths_.desktop.data();
    PROCESS_INFORMATION info{};
    BOOL created = CreateProcessW(Wide(paths_.exe).c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  Wide(paths_.directory).c_str(), &startup, &info);
    SetEnvironmentVariableA("WINEDEBUG", had ? previous : nullptr);
    SetEnvironmentVariableW(L"QUELLBOX_COM_LOG", nullptr);
    SetEnvironmentVariableW(L"QUELLBOX_OPENED_LOG", nullptr);
    if (!created) throw ScenarioError("Quellbox.exe cannot be started: error " + std::to_string(GetLastError()));
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
    killerEnabled_ = true;
    // Started once its window exists, its start-up scan has connected to the shell's list and
    // its icon, which start-up adds last, is in the notification area: until then a message
    // sent to it is answered by the system's default (the notification area may be slow).
    bool ready = Settle([this] { return FindMainWindow() && (!shell_ || Listeners() > 0) && IconShown(); });
    if (WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0) {
      Forget();
      return false;
    }
    if (!ready && shell_)
      throw ScenarioError("Quellbox.exe is not listening to the fake shell window list (another one, Wine's own?)");
    if (!ready) throw ScenarioError("Quellbox.exe did not finish starting");
    return true;
  }
  bool Started() override { return static_cast<bool>(process_); }
  void Tick() override { Save(); }
  // The demo's end: its windows are served until Quellbox is closed by whoever runs it.
  void Linger() {
    WriteWholeFile(Directory(paths_.trace) + "\\demo.played", "");
    while (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) Pump(100);
    exiting_ = std::move(process_);
    main_ = nullptr;
  }
  void Wait() override { Pump(5000); }
  // As the setup asks Quellbox to close: a sent WM_CLOSE, which Quellbox handles even while it
  // waits for a call. Once its window has gone it has saved and unloaded; its process ends when
  // the calls it waits for have returned, which for an exit inside a read is after this one.
  void Exit() override {
    SendNotifyMessageA(main_, WM_CLOSE, 0, 0);
    DWORD start = GetTickCount();
    while (IsWindow(main_) && WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0) {
      if (GetTickCount() - start > 20000) {
        TerminateProcess(process_.get(), 1);
        Forget();
        throw ScenarioError("Quellbox.exe did not close within 20 s");
      }
      Pump(20);
    }
    exiting_ = std::move(process_);
    main_ = nullptr;
  }
  // Quellbox must end of its own accord: one killed here, or one that crashed on the way out,
  // fails the scenario.
  void Finish() override {
    if (paths_.demo && process_) Linger();
    if (process_) Exit();
    AwaitExit();
    ShellDown();
  }

  Counters ReadCounters() override {
    if (Started()) {
      Save();
      auto lifetime = TextToLong(RegistryValue("WindowsLeft").value_or("")).value_or(0);
      counters_ = {lifetime, lifetime - baseline_};
    }
    return counters_;
  }
  std::vector<std::string> TakeSounds() override {
    ReadTrace();
    return std::exchange(sounds_, {});
  }
  std::vector<std::optional<std::string>> TakeBalloons() override {
    ReadTrace();
    return std::exchange(balloons_, {});
  }
  // Quellbox's traced calls since the last look: sounds and balloons.
  void ReadTrace() {
    for (const std::string& line : NewLines(paths_.trace, traceSeen_)) {
      // Only that a balloon was shown, not its text: the icon itself goes through
      // Shell_NotifyIconA, so every Shell_NotifyIconW is a balloon.
      if (line.find("Call shell32.Shell_NotifyIconW(") != std::string::npos) balloons_.push_back(std::nullopt);
      unsigned frequency = 0, duration = 0;
      auto beep = line.find("Call KERNEL32.Beep(");
      if (beep != std::string::npos &&
          std::sscanf(line.c_str() + beep, "Call KERNEL32.Beep(%x,%x)", &frequency, &duration) == 2)
        sounds_.push_back("beep " + std::to_string(frequency) + " " + std::to_string(duration));
      // The trace shows the path's address only; the path is the WaveFile setting Quellbox saves.
      unsigned address = 0, flags = 0;
      auto wave = line.find("Call winmm.sndPlaySoundW(");
      if (wave != std::string::npos &&
          std::sscanf(line.c_str() + wave, "Call winmm.sndPlaySoundW(%x,%x)", &address, &flags) == 2) {
        Save();
        std::string sound = "wave " + InProgramDirectory(RegistryValue("WaveFile").value_or("?"));
        // Without SND_NODEFAULT a missing file would sound the system's default sound.
        if (!(flags & SND_NODEFAULT)) sound += " (or the system's default sound)";
        sounds_.push_back(sound);
      }
    }
  }
  std::optional<std::vector<std::string>> MonitorKeys() override {
    if (!Started()) return std::nullopt;
    std::vector<std::string> keys;
    for (const auto& c : model_.Connections()) keys.push_back(c.key);
    return keys;
  }
  // The date and time are today's here; the simulator's clock text stands in for them.
  std::string LogLine(const std::string& line) override {
    auto separator = line.find(" - ");
    if (separator == std::string::npos) return line;
    return "12/5/2026 1:05:09 PM" + line.substr(separator);
  }
  // Quellbox.exe's failure log, from where the last look ended.
  std::vector<std::string> TakeTraces() override {
    std::vector<std::string> lines;
    for (std::string line : NewLines(FailureLog(), failuresSeen_)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.starts_with("Quellbox: ")) lines.push_back(line.substr(10));
    }
    return lines;
  }
  std::optional<std::string> Flags() override { return std::nullopt; }
  std::optional<std::string> Slots(const sim::SimBrowser&) override { return std::nullopt; }

 private:
  // Waits, serving Quellbox's calls, until `ready` holds and Quellbox has made no call for a
  // moment; false when Quellbox made no progress towards that for 20 s. (A wait nested in a
  // read may have taken long; what counts is whether Quellbox goes on afterwards.)
  template <typename Ready>
  bool Settle(Ready ready) {
    DWORD quietSince = GetTickCount();
    long calls = model_.Calls();
    while (GetTickCount() - quietSince < 20000) {
      Pump(25);
      if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0) return false;
      if (model_.Calls() != calls) {
        calls = model_.Calls();
        quietSince = GetTickCount();
        continue;
      }
      if (GetTickCount() - quietSince >= 300 && ready()) return true;
    }
    return false;
  }
  struct Search {
    DWORD pid;
    HWND found;
  };
  static BOOL CALLBACK MatchMainWindow(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    char name[64];
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && GetClassNameA(hwnd, name, sizeof name) && std::string(name) == "QuellboxMain") {
      s->found = hwnd;
      return FALSE;
    }
    return TRUE;
  }
  // Changing nothing of Quellbox's icon succeeds only once the icon is there.
  bool IconShown() {
    NOTIFYICONDATAW icon{};
    icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
    icon.hWnd = main_;
    icon.uID = 1;
    return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
  }
  // A notification normally returns once Quellbox has handled it. When the shell ended in the
  // middle (a "shell down" inside a read), the call returns at once while Quellbox's handler
  // goes on: wait for it, so that what it does shows with this command.
  void Tell(HRESULT notified) {
    if (FAILED(notified) && Started()) Settle([] { return true; });
  }
  bool FindMainWindow() {
    Search search{processId_, nullptr};
    EnumWindows(&MatchMainWindow, reinterpret_cast<LPARAM>(&search));
    main_ = search.found;
    return main_ != nullptr;
  }
  // The one-minute timer's save, now: the counters and settings are read back from the registry.
  void Save() {
    DWORD_PTR result = 0;
    if (main_) SendMessageTimeoutA(main_, WM_TIMER, 1, 0, SMTO_NORMAL, 10000, &result);
  }
  long Listeners() {
    Variant count;
    if (!shell_ || FAILED(ShellControl(shell_.get(), kShellListeners, nullptr, false, count.get()))) return 0;
    return V_VT(count.get()) == VT_I4 ? V_I4(count.get()) : 0;
  }
  void Forget() {
    process_.reset();
    main_ = nullptr;
  }
  void AwaitExit() {
    if (!exiting_) return;
    // Generous: once in a full run on the 2-core machine the 32-bit release took over 20 s to
    // end after its window had gone (its COM teardown under Wine), and passed on every rerun.
    DWORD start = GetTickCount(), code = 0;
    while (WaitForSingleObject(exiting_.get(), 0) != WAIT_OBJECT_0 && GetTickCount() - start < 60000) Pump(20);
    bool ended = GetExitCodeProcess(exiting_.get(), &code) && code != STILL_ACTIVE;
    if (!ended) TerminateProcess(exiting_.get(), 1);
    exiting_.reset();
    if (!ended) throw ScenarioError("Quellbox.exe did not end within 60 s of closing");
    if (code != 0) throw ScenarioError("Quellbox.exe ended with exit code " + std::to_string(code));
  }
  static std::string Directory(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }
  std::string FailureLog() const { return Directory(paths_.trace) + "\\failures.log"; }
  // What the browsers Quellbox started were asked to open.
  std::string OpenedLog() const { return Directory(paths_.trace) + "\\opened.log"; }
  // Right-clicks the tray icon and presses `keys` in its menu.
  void ChooseFromTrayMenu(const std::vector<int>& keys) {
    PostMessageA(main_, WM_MOUSEMOVE, 0, WM_RBUTTONDOWN);  // the tray icon's right-click notification
    Pump(500);
    for (int key : keys) {
      keybd_event(static_cast<BYTE>(key), 0, 0, 0);
      keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    }
    Pump(500);
  }
  std::string InProgramDirectory(std::string path) {
    if (path.rfind(paths_.directory, 0) == 0) path = "<dir>" + path.substr(paths_.directory.size());
    for (char& c : path)
      if (c == '\\') c = '/';
    return path;
  }
  void StartShell() {
    std::wstring command = Wide("\"" + paths_.self + "\" shell");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(Wide(paths_.self).c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
      throw ScenarioError("the fake shell cannot be started");
    CloseHandle(info.hThread);
    shellProcess_.reset(info.hProcess);
    for (int i = 0; i < 400 && !shell_; ++i) {
      if (FAILED(CoCreateInstance(kFakeShellWindowsClsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(shell_.put()))))
        Pump(25);
    }
    if (!shell_) throw ScenarioError("the fake shell did not come up");
    ShellControl(shell_.get(), kShellWatch, watcher_.get());
  }

  Paths paths_;
  // Quellbox.exe may release its last proxy of a window after this host is gone, when COM
  // ends: the hub the window refers to goes with the last of them.
  std::shared_ptr<sim::SimHub> hub_ = std::make_shared<sim::SimHub>();
  // Hears which read of the shell's list is being answered, in the process that serves it.
  ComPtr<IDispatch> watcher_ = ComPtr<IDispatch>::Adopt(new ShellWatcher([this](const std::string& property) {
    hub_->Read("shell", property);
  }));
  ComModel model_{hub_};
  ComPtr<IDispatch> shell_;
  UniqueHandle shellProcess_;
  UniqueHandle process_;
  UniqueHandle exiting_;  // a Quellbox asked to close, until its process has ended
  bool awaitListeners_ = false;  // Explorer came back while Quellbox was inside a read
  DWORD processId_ = 0;
  HWND main_ = nullptr;
  std::int32_t baseline_ = 0;
  bool killerEnabled_ = true;
  Counters counters_;
  std::size_t traceSeen_ = 0, failuresSeen_ = 0, openedSeen_ = 0;  // the logs' sizes at the last look
  std::vector<std::string> sounds_;
  std::vector<std::optional<std::string>> balloons_;
};

// Makes Quellbox's CoCreateInstance(CLSID_ShellWindows) reach the fake list, in the registry
// views of 32-bit and 64-bit programs, and traces its calls of the sound functions.
void PreparePrefix() {
  std::string fake = GuidText(kFakeShellWindowsClsid);
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    SetText(HKEY_LOCAL_MACHINE, kShellWindowsKey + std::string("\\TreatAs"), "", fake, view);
    SetText(HKEY_LOCAL_MACHINE, "Software\\Classes\\CLSID\\" + fake, "", "Quellbox test shell window list", view);
  }
  SetText(HKEY_CURRENT_USER, "Software\\Wine\\Debug", "RelayInclude", "kernel32.Beep;winmm.sndPlaySoundW;shell32.Shell_NotifyIconW");
  // Wine reads any file named IEXPLORE.EXE as its own built-in browser, version resource
  // included: the stand-ins put where the scenarios' browsers are must be read from their files.
  SetText(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "iexplore.exe", "native");
  // Pages open in the stand-in where the default browser is, which says what it was asked.
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    SetText(HKEY_LOCAL_MACHINE, "Software\\Classes\\.html", "", "htmlfile", view);
    SetText(HKEY_LOCAL_MACHINE, "Software\\Classes\\htmlfile\\shell\\open\\command", "",
            "\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" \"%1\"", view);
  }
}

// Every scenario starts from no settings and no files of its own.
void Reset(const std::string& directory) {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarnik");
  UniqueHkey run;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, run.put()) == ERROR_SUCCESS)
    RegDeleteValueW(run.get(), L"Quellbox");
  for (const char* name : {"trust.hosts", "url.log", "spyware.lst", "version.txt"})
    DeleteFileAt(directory + "\\" + name);
}

class ShellFactory final : public IClassFactory {
 public:
  explicit ShellFactory(ComPtr<IShellWindows> list) : list_(std::move(list)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return Answer(riid, out, this, {IID_IUnknown, IID_IClassFactory});
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the process
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    return list_->QueryInterface(riid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  ComPtr<IShellWindows> list_;
};

int ServeShell() {
  DWORD cookie = 0;
  ShellFactory factory(NewShellList([&cookie] { CoRevokeClassObject(cookie); }));
  if (FAILED(CoRegisterClassObject(kFakeShellWindowsClsid, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
    return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

// Explorer restarts with a notification area that refuses icons for `seconds`: Quellbox's icon is
// gone from the real one, a stand-in that answers every icon request with "no" is found first,
// and TaskbarCreated is broadcast. Prints how many requests the stand-in refused.
LRESULT CALLBACK RefusingTray(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  static long refused = 0;
  if (msg == WM_COPYDATA) return ++refused, FALSE;
  if (msg == WM_APP) return refused;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int TrayOutage(int seconds) {
  HWND quellbox = FindWindowW(L"QuellboxMain", nullptr);
  if (!quellbox) return 1;
  NOTIFYICONDATAW icon{};
  icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
  icon.hWnd = quellbox;
  icon.uID = 1;
  Shell_NotifyIconW(NIM_DELETE, &icon);
  WNDCLASSW wc{};
  wc.lpfnWndProc = &RefusingTray;
  wc.lpszClassName = L"Shell_TrayWnd";
  RegisterClassW(&wc);
  UniqueWindow owned(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 1, 1,
                                     nullptr, nullptr, nullptr, nullptr));
  HWND tray = owned.get();
  if (FindWindowW(L"Shell_TrayWnd", nullptr) != tray) return 1;
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  Pump(static_cast<DWORD>(seconds) * 1000);
  long refused = static_cast<long>(SendMessageW(tray, WM_APP, 0, 0));
  std::printf("refused %ld\n", refused);
  return 0;
}

// A Quellbox that hangs: its window and its mutex, and a thread that never reads a message.
int HungQuellbox() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &DefWindowProcW;
  wc.lpszClassName = L"QuellboxMain";
  RegisterClassW(&wc);
  UniqueWindow window(CreateWindowExW(0, L"QuellboxMain", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  UniqueHandle mutex(CreateMutexW(nullptr, FALSE, L"Local\\Tarnik.Quellbox"));
  if (!window || !mutex) return 1;
  std::printf("hung\n");
  std::fflush(stdout);
  Sleep(INFINITE);
  return 0;
}

int CloseAtStart(const std::string& exe) {
  std::wstring command = Wide("\"" + exe + "\"");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(Wide(exe).c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return 1;
  UniqueHandle process(info.hProcess), thread(info.hThread);
  HWND main = nullptr;
  for (DWORD start = GetTickCount(); !main && GetTickCount() - start < 20000; Sleep(1))
    main = FindWindowW(L"QuellboxMain", nullptr);
  SendNotifyMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.get(), 20000) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
  else TerminateProcess(process.get(), 1);
  std::printf(code == STILL_ACTIVE ? "running\n" : "ended %lu\n", code);
  return 0;
}

int Run(const std::vector<std::string>& args) {
  WineHost::Paths paths;
  std::string out;
  bool check = false;
  std::vector<std::string> files;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::string { return i + 1 < args.size() ? args[++i] : ""; };
    if (a == "--exe") paths.exe = value();
    else if (a == "--dir") paths.directory = value();
    else if (a == "--trace") paths.trace = value();
    else if (a == "--out") out = value();
    else if (a == "--check") check = true;
    else if (a == "--demo") paths.demo = true;
    else if (a == "--desktop") paths.desktop = Wide(value());
    else files.push_back(a);
  }
  paths.self = ModulePath();
  std::ofstream file;
  if (!out.empty()) file.open(out, std::ios::binary);
  std::ostream& report = out.empty() ? std::cout : file;
  if (paths.exe.empty() || paths.directory.empty() || files.empty()) {
    report << "usage: fake_ie.exe run --exe Q --dir D --trace T [--check] [--demo] [--out O] FILE...\n";
    return 2;
  }
  // A console program started on a virtual desktop runs on its console's: the demo's windows
  // and Quellbox go where they can be seen.
  if (!paths.desktop.empty()) {
    HDESK desktop = OpenDesktopW(paths.desktop.c_str(), 0, FALSE, GENERIC_ALL);
    if (!desktop || !SetThreadDesktop(desktop)) report << "the desktop cannot be used: " << GetLastError() << "\n";
  }
  PreparePrefix();
  int passed = 0, failed = 0, simulatorOnly = 0;
  for (const auto& name : files) {
    auto text = ReadWholeFile(name);
    if (!text) {
      report << "FAILED " << name << ": cannot be read\n";
      ++failed;
      continue;
    }
    Reset(paths.directory);
    sim::ScenarioResult result;
    {
      WineHost host(paths);
      result = sim::RunScenario(*text, host);
    }
    if (result.simulatorOnly) {
      report << "simulator-only " << name << ": " << result.error << "\n";
      ++simulatorOnly;
    } else if (!result.error.empty()) {
      report << "FAILED " << name << ":" << result.errorLine << ": " << result.error << "\n";
      ++failed;
    } else if (!check) {
      report << result.transcript;
      ++passed;
    } else {
      ++(sim::CheckTranscript(report, name, result, true) ? passed : failed);
    }
    report.flush();
  }
  report << "scenarios: " << passed << " passed, " << failed << " failed, " << simulatorOnly
         << " simulator-only\n";
  return failed ? 1 : 0;
}

}  // namespace
}  // namespace quellbox::win32::testing

int main() {
  using namespace quellbox::win32;
  using namespace quellbox::win32::testing;
  // The program directory may be named in letters the system code page has not: UTF-8 from here.
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 0; argv && i < argc; ++i) args.push_back(Narrow(argv[i], wcslen(argv[i])));
  LocalFree(argv);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
  int rc = 2;
  if (args.size() >= 2 && args[1] == "shell") rc = ServeShell();
  else if (args.size() >= 2 && args[1] == "run") rc = Run(args);
  else if (args.size() >= 3 && args[1] == "tray-outage") rc = TrayOutage(std::atoi(args[2].c_str()));
  else if (args.size() >= 2 && args[1] == "hung-quellbox") rc = HungQuellbox();
  else if (args.size() >= 3 && args[1] == "close-at-start") rc = CloseAtStart(args[2]);
  CoUninitialize();
  return rc;
}
