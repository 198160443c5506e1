#pragma once
// Judges a browser window the moment the collection wraps it: is it a pop-up nobody asked for?
#include <memory>
#include <optional>
#include <string>

#include "core/browser.h"
#include "monitor/ie_class.h"

namespace quellbox {

// When a window without an id of its own is given one of ours.
enum class Naming {
  // Only when it says it has no handle. A window whose handle could not be read is not named:
  // a new name would make a window the user already had look new.
  IfHandleless,
  // Also when its handle could not be read: for a window just wrapped, known to be new.
  Always,
};

// The window id: its handle, else its stored "quellbox" number, else a random number stored
// there as `naming` allows. 0 when none can be had. `monitor`, when given, remembers what it
// learns.
std::int32_t WindowId(Engine& engine, Browser& window, Naming naming, IE_Class* monitor = nullptr);

// What judging a new window found: why it was spared, or the first sign that made it a pop-up.
enum class Verdict {
  Loading,      // blank while a new window was allowed or showing a status bar; or no status bar read
  NoId,         // no id could be had for it
  UsersOwn,     // open and visible when Quellbox started
  NotBlocking,  // adware blocking is on, or blocking is switched off
  NoSign,       // no sign of a pop-up
  KeyHeld,      // a pop-up, let through by the held key
  // Pop-ups, by the first sign, in the order checked: strict mode (not Explorer, no new window
  // allowed) with a title and not at start-up, with a title other than the address, or the same;
  StrictTitled, StrictOtherTitle, StrictSameTitle,
  // the title's second read failed; the application, or the title, could not be read;
  NoProbe, NoApplication, NoTitle,
  // an ad server's title (or none on the third read); no status bar (or none read).
  AdServer, NoStatusBar,
};
inline bool IsPopup(Verdict v) { return v >= Verdict::StrictTitled; }
// "closed: no status bar", "spared: loading", ... for traces, after kJudged.
std::string Describe(Verdict v);
inline constexpr const char* kJudged = "judged a new window: ";

// What the last reads of a judgement found, and the state they are judged in.
struct PopupSigns {
  bool explorer = false;      // the window belongs to Windows Explorer
  bool allowed = false;       // a new window was allowed (a user gesture preceded it)
  bool initialScan = false;
  bool strict = false;
  std::string app, name, url;  // as first read; "XXX" when unreadable
  bool probed = false;         // the title read again
  std::optional<std::string> freshName;  // its third read
  std::optional<bool> freshStatusBar;
  bool keyHeld = false;        // a key that lets windows through, while that option is on
};
// The verdict on a window that came through the reads that spare one: the first sign of a
// pop-up, KeyHeld when a key lets it through, else NoSign.
Verdict FirstSign(const PopupSigns& signs);

// Reads the window in a fixed order and judges it; hides and closes an untrusted pop-up that no
// key lets through. The verdict also goes to the engine's trace.
Verdict JudgeNewWindow(Engine& engine, Browser& window, IE_Class* monitor);

}  // namespace quellbox
