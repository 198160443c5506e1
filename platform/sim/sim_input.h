#pragma once
#include <set>
#include <vector>

#include "core/browser.h"
#include "platform/sim/sim_browser.h"

namespace quellbox::sim {

// Keys, the mouse, the displays and which browser windows exist, from the hub's windows.
class SimInput : public Input {
 public:
  explicit SimInput(SimHub& hub) : hub_(hub) {}
  std::int16_t KeyState(int virtualKey) override;
  std::optional<Point> CursorPos() override { return cursor; }
  Rect DisplayOf(std::int64_t hwnd) override;
  bool WindowExists(std::int64_t hwnd) override;

  std::set<int> held;     // virtual keys held down
  std::set<int> toggled;  // virtual keys whose toggle bit is set
  std::optional<Point> cursor = Point{0, 0};
  std::vector<Rect> displays{{0, 0, 1024, 768}};  // the primary display first

 private:
  const SimBrowser* Find(std::int64_t hwnd) const;
  SimHub& hub_;
};

}  // namespace quellbox::sim
