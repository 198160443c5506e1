#pragma once
// What the monitors and the window collection share.
#include <functional>
#include <string>

#include "core/services.h"
#include "core/settings.h"

namespace quellbox {

struct Engine {
  Services& services;
  AppState& state;
  // Where the engine says what it decided and why (the failure log, a test); may be empty.
  std::function<void(const std::string&)> trace;
};

// The browser property that names windows without a handle.
inline constexpr const char* kWindowIdProperty = "quellbox";

}  // namespace quellbox
