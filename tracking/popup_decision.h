#pragma once
// Judges a browser window the moment the collection wraps it: is it a pop-up nobody asked for?
#include <memory>

#include "core/browser.h"
#include "monitor/ie_class.h"

namespace quellbox {

// The window id: its handle, else its stored "quellbox" number, else (when `assign`) a random
// number stored there. 0 when none can be had. `monitor`, when given, remembers what it learns.
std::int32_t WindowId(Engine& engine, Browser& window, bool assign, IE_Class* monitor = nullptr);

// Hides and closes the window when it is an untrusted pop-up and no key lets it through.
void JudgeNewWindow(Engine& engine, Browser& window, IE_Class* monitor);

}  // namespace quellbox
