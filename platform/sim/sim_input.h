#pragma once
#include <set>

#include "core/browser.h"

namespace quellbox::sim {

class SimInput : public Input {
 public:
  std::int16_t KeyState(int virtualKey) override;
  std::int16_t AsyncKeyState(int virtualKey) override;
  std::optional<Point> CursorPos() override { return cursor; }
  std::optional<Point> ScreenToClient(std::int64_t hwnd, Point screen) override;
  Point ScreenSize() override { return screen; }

  std::set<int> held;  // virtual keys held down
  std::optional<Point> cursor = Point{0, 0};
  Point clientOrigin{0, 0};  // where every window's client area starts on the screen
  Point screen{1024, 768};
};

}  // namespace quellbox::sim
