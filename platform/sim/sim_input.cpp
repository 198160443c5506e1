#include "platform/sim/sim_input.h"

namespace quellbox::sim {

std::int16_t SimInput::KeyState(int virtualKey) {
  return held.count(virtualKey) ? static_cast<std::int16_t>(-127) : std::int16_t{0};
}

std::int16_t SimInput::AsyncKeyState(int virtualKey) {
  return held.count(virtualKey) ? static_cast<std::int16_t>(-32767) : std::int16_t{0};
}

std::optional<Input::Point> SimInput::ScreenToClient(std::int64_t hwnd, Point p) {
  if (hwnd == 0) return std::nullopt;
  return Point{p.x - clientOrigin.x, p.y - clientOrigin.y};
}

}  // namespace quellbox::sim
