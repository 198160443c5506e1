#include "tracking/popup_decision.h"

#include <cmath>

#include "core/convert.h"
#include "core/trust.h"

namespace quellbox {
namespace {

constexpr std::int32_t kOleCmdClose = 45;
constexpr std::int32_t kDontPromptUser = 2;
constexpr const char* kFailedRead = "XXX";
constexpr const char* kReadable = "XXXXX";

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

void JudgeNewWindow(Engine& engine, Browser& w, IE_Class* monitor) {
  PopupFlags& flags = engine.state.flags;
  const Settings& settings = engine.state.settings;

  std::string app = w.Application().value_or(kFailedRead);
  std::string name = w.LocationName().value_or(kFailedRead);
  std::string url = w.LocationURL().value_or(kFailedRead);

  auto fullName = w.FullName();
  bool explorer = fullName && UpperAscii(*fullName).find("EXPLORER.EXE") != std::string::npos;
  // Internet Explorer 9 and later hide the status bar of the user's own windows by default, while
  // every window a script opens has shown one since Windows XP SP2: there the status bar tells
  // nothing, and it is read as shown, as Internet Explorer 6 to 8 show it by default.
  bool statusBarTells =
      explorer || !fullName || engine.services.env.ProgramMajorVersion(*fullName).value_or(0) < 9;
  auto readStatusBar = [&] { return statusBarTells ? w.StatusBar() : std::optional<bool>(true); };

  // A blank window that the user asked for, or that shows a status bar, is still loading and
  // is left alone; so is one whose status bar cannot be read.
  bool blank = app.empty() || (url.empty() && name.empty());
  auto statusBar = readStatusBar();
  if (!statusBar || (blank && (flags.NewWindowAllowed || *statusBar))) {
    flags.NewWindowAllowed = false;
    return;
  }

  if (WindowId(engine, w, Naming::Always, monitor) == 0) return;

  std::string probe;
  bool titled = w.LocationName().has_value();
  if (titled) probe = kReadable;
  // A window open and visible when the scan found it is the user's own, whatever read fails:
  // one that may be visible is taken for visible.
  if (titled || flags.InitialScan) {
    auto visible = w.Visible();
    if (flags.InitialScan && visible.value_or(true)) return;
  }

  if (settings.Spyware || !settings.KillerEnabled) return;

  bool allowed = flags.NewWindowAllowed;
  bool strict = settings.Mode;
  bool candidate = false;
  candidate |= !explorer && !name.empty() && !allowed && !flags.InitialScan && strict;
  candidate |= !explorer && name != url && !allowed && strict;
  candidate |= !explorer && name == url && !allowed && strict;
  candidate |= probe != kReadable;
  candidate |= app == kFailedRead;
  candidate |= name == kFailedRead;
  auto freshName = w.LocationName();
  candidate |= !freshName || UpperAscii(*freshName).find("/ADSERV/") != std::string::npos;
  auto freshStatusBar = readStatusBar();
  candidate |= !freshStatusBar || (!explorer && !*freshStatusBar && !allowed);

  // Holding a key lets a window through only while the option to disable Quellbox so is on.
  bool keyHeld = settings.Disable != 0 &&
                 (Held(engine.services.input, kVkShift) || Held(engine.services.input, kVkControl));
  if (candidate && !keyHeld) {
    if (RecordClosedPopup(engine.services, engine.state, url)) {
      w.SetVisible(false);
      // A window that refuses both the close and Quit is shown again: hidden, it would run on
      // out of the user's reach.
      if (!w.ExecWB(kOleCmdClose, kDontPromptUser) && !w.Quit()) w.SetVisible(true);
    }
  }
  if (flags.NewWindowAllowed) flags.NewWindowAllowed = false;
}

}  // namespace quellbox
