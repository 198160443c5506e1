#include "tracking/popup_decision.h"

#include <cmath>
#include <iterator>

#include "core/convert.h"
#include "core/trust.h"

namespace quellbox {
namespace {

constexpr std::int32_t kOleCmdClose = 45;
constexpr const char* kFailedRead = "XXX";

bool Held(Input& input, int key) { return input.KeyState(key) < 0; }

}  // namespace

std::int32_t WindowId(Engine& engine, Browser& window, Naming naming, IE_Class* monitor) {
  auto hwnd = window.Hwnd();
  if (hwnd && *hwnd != 0) return static_cast<std::int32_t>(*hwnd);
  std::int32_t id = 0;
  if (monitor && monitor->IECtl().get() == &window) id = monitor->QuellboxProperty().value_or(0);
  else id = window.GetProperty(kWindowIdProperty).value_or(0);
  if (id != 0 || (!hwnd && naming == Naming::IfHandleless)) return id;
  id = static_cast<std::int32_t>(std::nearbyint(engine.services.clock.RandomFraction() * 99999999.0));
  // A window that refuses to store its name still has one for this judgement: only an id of 0
  // stops it, and a pop-up must not escape by refusing the write.
  if (window.PutProperty(kWindowIdProperty, id) && monitor && monitor->IECtl().get() == &window)
    monitor->RememberQuellboxProperty(id);
  return id;
}

std::string Describe(Verdict v) {
  static const char* const kTexts[] = {
      "spared: loading",         "spared: no id",           "spared: the user's own",
      "spared: not blocking",    "spared: no sign",         "spared: key held",
      "closed: strict, titled",  "closed: strict, another title", "closed: strict, same title",
      "closed: no second title", "closed: no application",  "closed: no title",
      "closed: ad server",       "closed: no status bar",
  };
  static_assert(std::size(kTexts) == static_cast<std::size_t>(Verdict::NoStatusBar) + 1, "a text per verdict");
  return kTexts[static_cast<int>(v)];
}

Verdict FirstSign(const PopupSigns& s) {
  bool strict = !s.explorer && !s.allowed && s.strict;
  Verdict sign = strict && !s.name.empty() && !s.initialScan ? Verdict::StrictTitled
                 : strict && s.name != s.url                 ? Verdict::StrictOtherTitle
                 : strict && s.name == s.url                 ? Verdict::StrictSameTitle
                 : !s.probed                                 ? Verdict::NoProbe
                 : s.app == kFailedRead                      ? Verdict::NoApplication
                 : s.name == kFailedRead                     ? Verdict::NoTitle
                 : !s.freshName || UpperAscii(*s.freshName).find("/ADSERV/") != std::string::npos
                     ? Verdict::AdServer
                 : !s.freshStatusBar || (!s.explorer && !*s.freshStatusBar && !s.allowed) ? Verdict::NoStatusBar
                                                                                          : Verdict::NoSign;
  return IsPopup(sign) && s.keyHeld ? Verdict::KeyHeld : sign;
}

namespace {

// The reads, in their fixed order, and the verdict on them; `url` is the address first read.
Verdict JudgeWindow(Engine& engine, Browser& w, IE_Class* monitor, std::string& url) {
  const PopupFlags& flags = engine.state.flags;
  const Settings& settings = engine.state.settings;

  PopupSigns signs;
  signs.app = w.Application().value_or(kFailedRead);
  signs.name = w.LocationName().value_or(kFailedRead);
  signs.url = url = w.LocationURL().value_or(kFailedRead);

  auto fullName = w.FullName();
  signs.explorer = fullName && UpperAscii(*fullName).find("EXPLORER.EXE") != std::string::npos;
  // Internet Explorer 9 and later hide the status bar of the user's own windows by default, while
  // every window a script opens has shown one since Windows XP SP2: there the status bar tells
  // nothing, and it is read as shown, as Internet Explorer 6 to 8 show it by default.
  bool statusBarTells =
      signs.explorer || !fullName || engine.services.env.ProgramMajorVersion(*fullName).value_or(0) < 9;
  auto readStatusBar = [&] { return statusBarTells ? w.StatusBar() : std::optional<bool>(true); };

  // A blank window that the user asked for, or that shows a status bar, is still loading and
  // is left alone; so is one whose status bar cannot be read.
  bool blank = signs.app.empty() || (signs.url.empty() && signs.name.empty());
  auto statusBar = readStatusBar();
  if (!statusBar || (blank && (flags.NewWindowAllowed || *statusBar))) return Verdict::Loading;

  if (WindowId(engine, w, Naming::Always, monitor) == 0) return Verdict::NoId;

  signs.probed = w.LocationName().has_value();
  // A window open and visible when the scan found it is the user's own, whatever read fails:
  // one that may be visible is taken for visible.
  if (signs.probed || flags.InitialScan) {
    auto visible = w.Visible();
    if (flags.InitialScan && visible.value_or(true)) return Verdict::UsersOwn;
  }

  if (settings.Spyware || !settings.KillerEnabled) return Verdict::NotBlocking;

  signs.allowed = flags.NewWindowAllowed;
  signs.initialScan = flags.InitialScan;
  signs.strict = settings.Mode;
  signs.freshName = w.LocationName();
  signs.freshStatusBar = readStatusBar();
  // Holding a key lets a window through only while the option to disable Quellbox so is on.
  signs.keyHeld = settings.Disable != 0 &&
                  (Held(engine.services.input, kVkShift) || Held(engine.services.input, kVkControl));
  return FirstSign(signs);
}

}  // namespace

Verdict JudgeNewWindow(Engine& engine, Browser& w, IE_Class* monitor) {
  std::string url;
  Verdict verdict = JudgeWindow(engine, w, monitor, url);
  if (engine.trace) engine.trace(kJudged + Describe(verdict));
  if (IsPopup(verdict) && RecordClosedPopup(engine.services, engine.state, url)) {
    w.SetVisible(false);
    // A window that refuses both the close and Quit is shown again: hidden, it would run on
    // out of the user's reach.
    if (!w.ExecWB(kOleCmdClose, Browser::kDontPromptUser) && !w.Quit()) w.SetVisible(true);
  }
  // The allowance covers one window: whatever became of this one, unless it was spared before
  // the allowance was looked at.
  if (verdict == Verdict::Loading || verdict >= Verdict::NoSign) engine.state.flags.NewWindowAllowed = false;
  return verdict;
}

}  // namespace quellbox
