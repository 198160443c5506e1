#pragma once
// What the monitors and the window collection share.
#include "core/services.h"
#include "core/settings.h"

namespace quellbox {

struct Engine {
  Services& services;
  AppState& state;
};

// The browser property that names windows without a handle.
inline constexpr const char* kWindowIdProperty = "quellbox";

}  // namespace quellbox
