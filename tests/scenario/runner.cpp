// The interpreter: plays the scenario's browser windows and shell list, drives the host, and
// writes down what Quellbox did after every command.
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "core/convert.h"
#include "core/text_file.h"
#include "scenario/scenario.h"
#include "scenario/words.h"
#include "shell/tray_tip.h"
#include "tracking/popup_decision.h"

namespace quellbox::sim {
namespace {

// Where a window's browser lives unless the scenario says otherwise: Internet Explorer 6.
constexpr const char* kDefaultBrowser = "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE";
constexpr int kDefaultBrowserVersion = 6;

class Runner {
 public:
  explicit Runner(ScenarioHost& host) : host_(host), hub_(host.Hub()) {
    list_ = std::make_shared<SimShellWindows>(hub_);
    host_.ShellUp(list_, false);
    host_.InstallProgram(kDefaultBrowser, kDefaultBrowserVersion);
  }

  ScenarioResult Run(const std::string& text) {
    ScenarioResult result;
    // Each command is followed by what it prints, indented; the expected transcript echoes the
    // commands as the run does.
    std::vector<std::pair<int, std::string>> commands;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::string trimmed = TrimBlanks(line);
      if (trimmed.empty()) continue;
      if (line[0] == ' ' || line[0] == '\t') {
        result.expected += line.substr(std::min<std::size_t>(line.size(), 2)) + "\n";
        result.expectedLines.push_back(number);
      } else if (trimmed[0] != '#') {
        result.expected += "> " + trimmed + "\n";
        result.expectedLines.push_back(number);
        commands.emplace_back(number, trimmed);
      }
    }
    for (const auto& [number, command] : commands) {
      try {
        out_ << "> " << command << "\n";
        Execute(Words(command));
        if (!nestedError_.empty()) throw ScenarioError(nestedError_);
        host_.CommandDone();
        Observe();
      } catch (const ScenarioError& e) {
        result.errorLine = number;
        result.error = e.what();
        result.simulatorOnly = dynamic_cast<const SimulatorOnly*>(&e) != nullptr;
        break;
      }
    }
    try {
      host_.Finish();
    } catch (const ScenarioError& e) {
      if (result.error.empty()) result.error = e.what();
    }
    result.transcript = out_.str();
    result.reads = hub_.reads;
    return result;
  }

 private:
  using Args = std::vector<std::string>;

  void Execute(const Args& w) {
    const std::string& verb = w.at(0);
    static const std::map<std::string, void (Runner::*)(const Args&)> commands = {
        {"registry", &Runner::Registry}, {"file", &Runner::File},
        {"option", &Runner::Option},     {"window", &Runner::WindowCommand},
        {"set", &Runner::Set},           {"open", &Runner::Open},
        {"close", &Runner::Close},       {"start", &Runner::Start},
        {"focus", &Runner::Focus},       {"mouseup", &Runner::MouseUp},
        {"contextmenu", &Runner::ContextMenu}, {"click", &Runner::Click},
        {"newwindow", &Runner::NewWindow}, {"newwindow3", &Runner::NewWindow3},
        {"navigate", &Runner::Navigate},   {"choose", &Runner::Choose},
        {"navigated", &Runner::Navigated}, {"downloaded", &Runner::Downloaded},
        {"completed", &Runner::Completed}, {"frame", &Runner::Frame},
        {"key", &Runner::Key},           {"screen", &Runner::Screen},
        {"random", &Runner::Random},
        {"inside", &Runner::Inside},     {"hang", &Runner::Hang},
        {"crash", &Runner::Crash},       {"display", &Runner::Display},
        {"tick", &Runner::Tick},         {"wait", &Runner::Wait},
        {"tip", &Runner::Tip},           {"exit", &Runner::Exit},
        {"show", &Runner::Show},         {"shell", &Runner::ShellCommand},
    };
    auto it = commands.find(verb);
    if (it == commands.end()) throw ScenarioError("unknown command '" + verb + "'");
    (this->*(it->second))(w);
  }

  static void Need(const Args& w, std::size_t count, const char* usage) {
    if (w.size() < count) throw ScenarioError(std::string("usage: ") + usage);
  }

  std::shared_ptr<SimBrowser>& Window(const std::string& name) {
    auto it = windows_.find(name);
    if (it == windows_.end()) throw ScenarioError("no window named '" + name + "'");
    return it->second;
  }

  void RequireStarted(const char* what) {
    if (!host_.Started()) throw ScenarioError(std::string(what) + " needs 'start' first");
  }

  static std::int32_t Number(const std::string& text) {
    auto n = TextToLong(text);
    if (!n || text.empty()) throw ScenarioError("'" + text + "' is no number");
    return *n;
  }

  static std::optional<bool> YesNo(const std::string& text) {
    if (text == "yes") return true;
    if (text == "no") return false;
    if (text == "!") return std::nullopt;
    throw ScenarioError("expected yes, no or !, got '" + text + "'");
  }

  static std::optional<std::string> TextOrUnreadable(const std::string& text) {
    if (text == "!") return std::nullopt;
    return text;
  }

  // key=value settings of a window.
  void Configure(SimBrowser& b, const Args& w, std::size_t from) {
    for (std::size_t i = from; i < w.size(); ++i) {
      auto eq = w[i].find('=');
      if (eq == std::string::npos) throw ScenarioError("expected key=value, got '" + w[i] + "'");
      std::string key = w[i].substr(0, eq), value = w[i].substr(eq + 1);
      if (key == "hwnd") {
        b.hwnd = value == "none" ? std::optional<std::int64_t>(0)
                 : value == "!"  ? std::nullopt
                                 : std::optional<std::int64_t>(Number(value));
        if (b.hwnd && *b.hwnd) b.handle = *b.hwnd;
      }
      else if (key == "url") {
        b.locationUrl = TextOrUnreadable(value);
        if (b.document) b.document->url = value;
      } else if (key == "title") b.locationName = TextOrUnreadable(value);
      else if (key == "app") b.application = TextOrUnreadable(value);
      else if (key == "exe") b.fullName = TextOrUnreadable(value);
      else if (key == "statusbar") b.statusBar = YesNo(value);
      else if (key == "visible") b.visible = YesNo(value);
      else if (key == "forward") b.forwardHistory = YesNo(value).value_or(false);
      else if (key == "closable") b.closable = YesNo(value).value_or(true);
      else if (key == "quit") b.quittable = YesNo(value).value_or(true);
      else if (key == "id") b.propertiesReadable = value != "!";
      else if (key == "size") {
        auto x = value.find('x');
        if (x == std::string::npos) throw ScenarioError("size is WIDTHxHEIGHT");
        b.width = Number(value.substr(0, x));
        b.height = Number(value.substr(x + 1));
      } else if (key == "pos") {
        auto comma = value.find(',');
        if (comma == std::string::npos) throw ScenarioError("pos is X,Y");
        b.left = Number(value.substr(0, comma));
        b.top = Number(value.substr(comma + 1));
      } else if (key == "ie") {
        int major = Number(value);
        if (major < 6 || major > 11) throw ScenarioError("ie is a version from 6 to 11");
        std::string path = "C:\\Program Files\\Internet Explorer " + value + "\\IEXPLORE.EXE";
        host_.InstallProgram(path, major);
        b.fullName = path;
      } else throw ScenarioError("unknown window property '" + key + "'");
    }
  }

  std::shared_ptr<SimDocument> NewDocument(const std::string& url, SimBrowser& owner) {
    auto d = std::make_shared<SimDocument>(hub_, url);
    d->activeElement = Element("BODY");
    d->window->onResize = [&owner](std::int32_t w, std::int32_t h) {
      owner.width = w;
      owner.height = h;
    };
    return d;
  }

  std::shared_ptr<SimElement> Element(const std::string& tag) {
    auto e = std::make_shared<SimElement>(hub_, tag);
    e->tagName = tag;
    return e;
  }

  void Registry(const Args& w) {
    if (w.size() < 3 || w.size() % 2 == 0) throw ScenarioError("usage: registry NAME VALUE [NAME VALUE ...]");
    for (std::size_t i = 1; i < w.size(); i += 2) host_.SetRegistryValue(w[i], w[i + 1]);
  }
  void File(const Args& w) {
    Need(w, 3, "file NAME TEXT");
    if (w[1].find('/') != std::string::npos || w[1].find('\\') != std::string::npos || w[1] == ".." ||
        w[1] == ".")
      throw ScenarioError("file names are plain names in the program directory");
    WriteWholeFile(host_.ProgramDirectory() + "/" + w[1], w[2]);
  }
  void Option(const Args& w) {
    Need(w, 3, "option NAME VALUE");
    host_.SetOption(w[1], w[2]);
  }
  void WindowCommand(const Args& w) {
    Need(w, 2, "window NAME [key=value ...]");
    if (windows_.count(w[1])) throw ScenarioError("window '" + w[1] + "' exists already");
    MakeWindow(w, 2);
  }
  void MakeWindow(const Args& w, std::size_t from) {
    auto b = std::make_shared<SimBrowser>(hub_, w[1]);
    b->hwnd = b->handle = 1000 + static_cast<std::int64_t>(windows_.size()) * 10;
    b->locationUrl = b->locationName = "about:blank";
    b->document = NewDocument("about:blank", *b);
    b->locationName.reset();
    Configure(*b, w, from);
    b->document->url = b->locationUrl.value_or("");
    // Without a title of its own a page shows its address in the title bar.
    bool titled = std::any_of(w.begin() + static_cast<std::ptrdiff_t>(from), w.end(),
                              [](const std::string& a) { return a.rfind("title=", 0) == 0; });
    if (!titled) b->locationName = b->locationUrl;
    windows_[w[1]] = b;
    order_.push_back(w[1]);
  }
  void Set(const Args& w) {
    Need(w, 3, "set NAME key=value ...");
    Configure(*Window(w[1]), w, 2);
  }
  void Open(const Args& w) {
    Need(w, 2, "open NAME [quiet] [key=value ...]");
    bool notify = !(w.size() > 2 && w[2] == "quiet");
    // A name not seen before makes its window first, as `window` does.
    std::size_t properties = notify ? 2 : 3;
    if (!windows_.count(w[1])) MakeWindow(w, properties);
    else if (w.size() > properties) throw ScenarioError("window '" + w[1] + "' exists already: 'set' changes it");
    auto& window = Window(w[1]);
    list_->Open(window, notify);
    host_.ShellOpened(window, notify);
  }
  void Close(const Args& w) {
    Need(w, 2, "close NAME [quiet]");
    bool notify = !(w.size() > 2 && w[2] == "quiet");
    auto& window = Window(w[1]);
    list_->Close(window, notify);
    host_.ShellClosed(window, notify);
  }
  // Explorer ends (down), or starts again with the windows that are open (up; `late`: they
  // register again one by one, with `open`) and tells every program so (TaskbarCreated); or the
  // shell raises a registration with no new window (notify).
  void ShellCommand(const Args& w) {
    Need(w, 2, "shell down|up [late]|notify");
    if (w[1] == "notify") {
      list_->FireRegistered();
      host_.ShellNotified();
    } else if (w[1] == "down") {
      if (list_->Dead()) throw ScenarioError("the shell is down already");
      list_->Die();
      host_.ShellDown();
    } else if (w[1] == "up") {
      if (!list_->Dead()) throw ScenarioError("the shell is up already");
      auto fresh = std::make_shared<SimShellWindows>(hub_);
      if (!(w.size() > 2 && w[2] == "late")) fresh->windows = list_->windows;
      list_ = fresh;
      host_.ShellUp(list_, true);
    } else {
      throw ScenarioError("shell down, up or notify");
    }
  }
  void Start(const Args&) {
    if (host_.Started()) throw ScenarioError("already started");
    if (!host_.Start()) out_ << "second instance: ended\n";
  }
  void Focus(const Args& w) {
    Need(w, 3, "focus NAME TAG [textedit] [text=...]");
    auto e = Element(w[2]);
    for (std::size_t i = 3; i < w.size(); ++i) {
      if (w[i] == "textedit") e->isTextEdit = true;
      else if (w[i].rfind("text=", 0) == 0) e->text = w[i].substr(5);
      else if (w[i] == "!") e->tagName.reset();
      else throw ScenarioError("unknown focus detail '" + w[i] + "'");
    }
    Window(w[1])->document->activeElement = e;
  }
  void MouseUp(const Args& w) {
    Need(w, 3, "mouseup NAME TAG [id=...] [text=...]");
    auto e = Element(w[2]);
    for (std::size_t i = 3; i < w.size(); ++i) {
      if (w[i].rfind("id=", 0) == 0) e->id = w[i].substr(3);
      else if (w[i].rfind("text=", 0) == 0) e->text = w[i].substr(5);
      else if (w[i] == "!") e->id.reset();
      else throw ScenarioError("unknown mouse-up detail '" + w[i] + "'");
    }
    auto& document = *Window(w[1])->document;
    document.window->eventSource = e;
    document.subscribers.ForEach([](DocumentEventSink& s) { s.OnMouseUp(); });
  }
  void ContextMenu(const Args& w) {
    Need(w, 2, "contextmenu NAME");
    bool shown = true;
    Window(w[1])->document->subscribers.ForEach([&](DocumentEventSink& s) { shown = s.OnContextMenu(); });
    if (!shown) out_ << "context menu suppressed in " << w[1] << "\n";
  }
  void Click(const Args& w) {
    Need(w, 2, "click NAME");
    Window(w[1])->document->subscribers.ForEach([](DocumentEventSink& s) { s.OnClick(); });
  }
  void NewWindow(const Args& w) {
    Need(w, 2, "newwindow NAME");
    bool cancel = false;
    Window(w[1])->subscribers.ForEach([&](BrowserEventSink& s) { s.NewWindow2(cancel); });
    out_ << "NewWindow2 in " << w[1] << ": " << (cancel ? "cancelled" : "allowed") << "\n";
  }
  void NewWindow3(const Args& w) {
    Need(w, 3, "newwindow3 NAME URL [FLAGS]");
    auto flags = w.size() > 3 ? TextToInteger(w[3]) : 0;
    if (!flags) throw ScenarioError("'" + w[3] + "' is no number");
    auto& b = Window(w[1]);
    bool cancel = false;
    std::string opener = b->document->url.value_or("");  // the page that asks
    auto bits = static_cast<std::uint32_t>(*flags);
    b->subscribers.ForEach([&](BrowserEventSink& s) { s.NewWindow3(cancel, bits, opener, w[2]); });
    out_ << "NewWindow3 in " << w[1] << ": " << (cancel ? "cancelled" : "allowed") << "\n";
  }
  void Choose(const Args& w) {
    Need(w, 2, "choose POSITION");
    auto position = TextToInteger(w[1]);
    if (!position || *position < 1) throw ScenarioError("'" + w[1] + "' is no position");
    host_.ChooseBlocked(*position);
  }
  void Navigate(const Args& w) {
    Need(w, 3, "navigate NAME URL");
    bool cancel = false;
    Window(w[1])->subscribers.ForEach([&](BrowserEventSink& s) { s.BeforeNavigate2(w[2], cancel); });
    if (cancel) out_ << "navigation in " << w[1] << " cancelled\n";
  }
  void Navigated(const Args& w) {
    Need(w, 2, "navigated NAME");
    auto& b = Window(w[1]);
    std::string url = b->locationUrl.value_or("");
    b->subscribers.ForEach([&](BrowserEventSink& s) { s.NavigateComplete2(url); });
  }
  void Downloaded(const Args& w) {
    Need(w, 2, "downloaded NAME");
    Window(w[1])->subscribers.ForEach([](BrowserEventSink& s) { s.DownloadComplete(); });
  }
  void Completed(const Args& w) {
    Need(w, 2, "completed NAME");
    auto& b = Window(w[1]);
    std::string url = b->locationUrl.value_or("");
    b->subscribers.ForEach([&](BrowserEventSink& s) { s.DocumentComplete(b, url); });
  }
  void Frame(const Args& w) {
    Need(w, 3, "frame NAME URL [COUNT [nested]]");
    auto& b = Window(w[1]);
    int count = w.size() > 3 ? Number(w[3]) : 1;
    if (count < 1 || count > 1000) throw ScenarioError("a frame count lies in [1, 1000]");
    if (w.size() > 4 && w[4] != "nested") throw ScenarioError("frames are 'nested' or side by side");
    auto parent = b->document;
    for (int i = 1; i <= count && parent; ++i) {
      auto f = std::make_shared<SimHtmlWindow>(hub_, w[1] + " frame");
      f->document = NewDocument(w.size() > 3 ? w[2] + "#" + std::to_string(i) : w[2], *b);
      parent->frames.push_back(f);
      if (w.size() > 4 && w[4] == "nested") parent = f->document;
    }
  }
  void Key(const Args& w) {
    Need(w, 3, "key SHIFT|CTRL|ALT down|up|toggled");
    int vk = w[1] == "SHIFT" ? kVkShift : w[1] == "CTRL" ? kVkControl : w[1] == "ALT" ? kVkMenu : 0;
    if (!vk) throw ScenarioError("unknown key '" + w[1] + "'");
    using K = ScenarioHost::Key;
    K state = w[2] == "down" ? K::Down : w[2] == "up" ? K::Up : K::Toggled;
    if (w[2] != "down" && w[2] != "up" && w[2] != "toggled") throw ScenarioError("key state is down, up or toggled");
    host_.SetKey(vk, state);
  }
  void Screen(const Args& w) {
    Need(w, 3, "screen WIDTH HEIGHT");
    host_.SetScreen(Number(w[1]), Number(w[2]));
  }
  void Display(const Args& w) {
    Need(w, 5, "display LEFT TOP WIDTH HEIGHT");
    host_.AddDisplay({Number(w[1]), Number(w[2]), Number(w[3]), Number(w[4])});
  }
  void Crash(const Args& w) {
    Need(w, 2, "crash NAME");
    auto& window = Window(w[1]);
    list_->Crash(window);
    host_.ShellClosed(window, true);
  }
  void Random(const Args& w) {
    Need(w, 2, "random FRACTION");
    auto r = TextToNumber(w[1]);
    if (!r || *r < 0 || *r >= 1) throw ScenarioError("a random fraction lies in [0, 1)");
    host_.SetRandom(*r);
  }
  // What runs nested in a read: commands separated by ";". An error is reported once Quellbox's
  // handler has returned.
  std::function<void()> Nested(const Args& w, std::size_t from, const char* label) {
    std::vector<Args> commands(1);
    for (std::size_t i = from; i < w.size(); ++i) {
      if (w[i] == ";") commands.emplace_back();
      else commands.back().push_back(w[i]);
    }
    return [this, commands, label] {
      out_ << "  (" << label << ")\n";
      try {
        for (const auto& command : commands)
          if (!command.empty()) Execute(command);
      } catch (const ScenarioError& e) {
        nestedError_ = e.what();
      }
    };
  }
  void Inside(const Args& w) {
    Need(w, 4, "inside NAME PROPERTY COMMAND ...");
    if (!windows_.count(w[1]) && w[1] != "shell" && w[1] != "*") Window(w[1]);
    if (w[1] == "shell" && !host_.ShellReadsHere()) throw SimulatorOnly("inside shell");
    hub_.InsideNextRead(w[1] == "*" ? "" : w[1], w[2], Nested(w, 3, "inside the read"));
  }
  void Hang(const Args& w) {
    Need(w, 3, "hang NAME PROPERTY [COMMAND ...]");
    Window(w[1]);
    host_.Hang(w[1], w[2], Nested(w, 3, "while the read waits"));
  }
  void Wait(const Args&) {
    RequireStarted("wait");
    host_.Wait();
  }
  void Tick(const Args&) {
    RequireStarted("tick");
    host_.Tick();
    out_ << "saved: WindowsLeft " << host_.RegistryValue("WindowsLeft").value_or("?") << "\n";
  }
  void Tip(const Args&) {
    RequireStarted("tip");
    out_ << "tip: " << Visible(TrayTipText(host_.ReadCounters().sinceStart)) << "\n";
  }
  void Exit(const Args&) {
    RequireStarted("exit");
    host_.Exit();
    out_ << "exited: WindowsLeft " << host_.RegistryValue("WindowsLeft").value_or("?") << ", trust.hosts "
         << Visible(ReadWholeFile(host_.ProgramDirectory() + "/trust.hosts").value_or("(none)")) << "\n";
  }
  void Show(const Args& w) {
    Need(w, 2, "show flags|monitors|slots NAME|verdicts|blocked");
    if (w[1] == "flags") {
      out_ << host_.Flags().value_or(kNotShownHere) << "\n";
    } else if (w[1] == "monitors") {
      RequireStarted("show monitors");
      out_ << "monitors:" << Joined(host_.MonitorKeys().value_or(std::vector<std::string>{})) << "\n";
    } else if (w[1] == "slots") {
      Need(w, 3, "show slots NAME");
      RequireStarted("show slots");
      out_ << host_.Slots(*Window(w[2])).value_or(kNotShownHere) << "\n";
    } else if (w[1] == "verdicts") {
      for (const auto& line : host_.TakeTraces())
        if (line.starts_with(kJudged)) out_ << "verdict: " << line.substr(std::strlen(kJudged)) << "\n";
    } else if (w[1] == "blocked") {
      auto menu = host_.BlockedMenu();
      if (!menu) out_ << kNotShownHere << "\n";
      for (const auto& caption : menu.value_or(std::vector<std::string>{})) out_ << "blocked: " << caption << "\n";
    } else {
      throw ScenarioError("show flags, monitors, slots, verdicts or blocked");
    }
  }

  // Writes down everything Quellbox did since the last look.
  void Observe() {
    for (const auto& name : order_) {
      auto& b = *windows_[name];
      for (std::size_t i = seenCalls_[name]; i < b.calls.size(); ++i) out_ << name << ": " << b.calls[i] << "\n";
      seenCalls_[name] = b.calls.size();
      std::vector<std::shared_ptr<SimHtmlWindow>> scripts{b.document->window};
      for (auto& f : b.document->frames) scripts.push_back(f);
      for (auto& s : scripts) {
        for (std::size_t i = seenScript_[s.get()]; i < s->calls.size(); ++i)
          out_ << name << " script: " << s->calls[i] << "\n";
        seenScript_[s.get()] = s->calls.size();
      }
    }
    std::string log = ReadWholeFile(host_.ProgramDirectory() + "/url.log").value_or("");
    if (log.size() > seenLog_) {
      for (const auto& line : SplitAtCrLf(log.substr(seenLog_)))
        if (!line.empty()) out_ << "url.log: " << Visible(host_.LogLine(line)) << "\n";
    }
    seenLog_ = log.size();
    for (const auto& sound : host_.TakeSounds()) out_ << "sound: " << sound << "\n";
    for (const auto& address : host_.TakeOpened()) out_ << "browser opened:" << address << "\n";
    for (const auto& balloon : host_.TakeBalloons())
      out_ << (balloon ? "balloon: " + *balloon : std::string(kNotShownHere)) << "\n";
    auto counters = host_.ReadCounters();
    if (counters != lastCounters_)
      out_ << "counters: " << counters.lifetime << " lifetime, " << counters.sinceStart << " since start\n";
    lastCounters_ = counters;
    if (auto keys = host_.MonitorKeys()) {
      if (*keys != lastKeys_) out_ << "monitors:" << Joined(*keys) << "\n";
      lastKeys_ = *keys;
    }
  }

  ScenarioHost& host_;
  SimHub& hub_;
  std::shared_ptr<SimShellWindows> list_;  // the shell's list, alive or not
  std::map<std::string, std::shared_ptr<SimBrowser>> windows_;
  std::vector<std::string> order_;
  std::map<std::string, std::size_t> seenCalls_;
  std::map<const SimHtmlWindow*, std::size_t> seenScript_;
  std::size_t seenLog_ = 0;
  ScenarioHost::Counters lastCounters_;
  std::vector<std::string> lastKeys_;
  std::ostringstream out_;
  std::string nestedError_;
};

}  // namespace

ScenarioResult RunScenario(const std::string& text, ScenarioHost& host) {
  Runner runner(host);
  return runner.Run(text);
}

}  // namespace quellbox::sim
