#include "platform/sim/sim_shell.h"

#include <algorithm>

namespace quellbox::sim {

std::optional<std::int32_t> SimShellWindows::Count() {
  bool answered = hub_.Read("shell", "Count");
  if (!alive_) lost_ = true;
  if (!answered || !alive_) return std::nullopt;
  return static_cast<std::int32_t>(windows.size());
}

// A fresh object on every read, as a proxy is; its identity is the window's.
std::shared_ptr<Browser> SimShellWindows::Item(std::int32_t index) {
  bool answered = hub_.Read("shell", "Item");
  if (!alive_) {
    lost_ = true;
    return nullptr;
  }
  if (!answered || index < 0 || static_cast<std::size_t>(index) >= windows.size()) return nullptr;
  return windows[static_cast<std::size_t>(index)]->Proxy();
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
  window->subscribers.ForEach([](BrowserEventSink& s) { s.OnQuit(); });
  window->MarkClosed();
  std::erase(windows, window);
  if (notify) FireRevoked();
}

void SimShellWindows::Crash(const std::shared_ptr<SimBrowser>& window) {
  window->Crash();
  std::erase(windows, window);
  FireRevoked();
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
