#include "platform/sim/sim_input.h"

namespace quellbox::sim {

std::int16_t SimInput::KeyState(int virtualKey) {
  std::int16_t state = held.count(virtualKey) ? static_cast<std::int16_t>(-128) : std::int16_t{0};
  return static_cast<std::int16_t>(state | (toggled.count(virtualKey) ? 1 : 0));
}

const SimBrowser* SimInput::Find(std::int64_t hwnd) const {
  for (const SimBrowser* w : hub_.windows)
    if (!w->closed && (w->handle ? w->handle == hwnd : w->hwnd && *w->hwnd == hwnd)) return w;
  return nullptr;
}

Input::Rect SimInput::DisplayOf(std::int64_t hwnd) {
  if (const SimBrowser* w = hwnd ? Find(hwnd) : nullptr)
    for (const Rect& d : displays)
      if (w->left >= d.left && w->left < d.left + d.width && w->top >= d.top && w->top < d.top + d.height)
        return d;
  return displays.front();
}

bool SimInput::WindowExists(std::int64_t hwnd) { return Find(hwnd) != nullptr; }

}  // namespace quellbox::sim
