#include "platform/sim/sim_shell.h"

#include <algorithm>

namespace quellbox::sim {

std::optional<std::int32_t> SimShellWindows::Count() {
  hub_.Read("shell", "Count");
  if (!alive_) lost_ = true;
  if (!countReadable || !alive_) return std::nullopt;
  return static_cast<std::int32_t>(windows.size());
}

std::shared_ptr<Browser> SimShellWindows::Item(std::int32_t index) {
  hub_.Read("shell", "Item");
  if (!alive_) {
    lost_ = true;
    return nullptr;
  }
  if (index < 0 || static_cast<std::size_t>(index) >= windows.size()) return nullptr;
  auto i = static_cast<std::size_t>(index);
  if (i < unreadableItems.size() && unreadableItems[i]) return nullptr;
  return windows[i];
}

std::unique_ptr<Subscription> SimShellWindows::Subscribe(std::weak_ptr<ShellWindowsEventSink> sink) {
  if (!alive_) {
    lost_ = true;
    return nullptr;
  }
  return subscribers.Add(std::move(sink));
}

void SimShellWindows::Die() {
  alive_ = false;
  subscribers = {};
}

void SimShellWindows::Open(const std::shared_ptr<SimBrowser>& window, bool notify) {
  windows.push_back(window);
  if (notify) FireRegistered();
}

void SimShellWindows::Close(const std::shared_ptr<SimBrowser>& window, bool notify) {
  window->FireOnQuit();
  std::erase(windows, window);
  if (notify) FireRevoked();
}

void SimShellWindows::FireRegistered() {
  if (!alive_) return;
  std::int32_t cookie = nextCookie++;
  subscribers.ForEach([&](ShellWindowsEventSink& s) { s.WindowRegistered(cookie); });
}

void SimShellWindows::FireRevoked() {
  if (!alive_) return;
  std::int32_t cookie = nextCookie++;
  subscribers.ForEach([&](ShellWindowsEventSink& s) { s.WindowRevoked(cookie); });
}

}  // namespace quellbox::sim
