#pragma once
// Judges a browser window the moment the collection wraps it: is it a pop-up nobody asked for?
#include <memory>

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

// Hides and closes the window when it is an untrusted pop-up and no key lets it through.
void JudgeNewWindow(Engine& engine, Browser& window, IE_Class* monitor);

}  // namespace quellbox
