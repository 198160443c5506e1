#pragma once
// The shell's list of browser windows, with the notifications it raises when windows come and go.
#include <memory>
#include <vector>

#include "core/browser.h"
#include "platform/sim/sim_browser.h"

namespace quellbox::sim {

class SimShellWindows : public ShellWindows {
 public:
  explicit SimShellWindows(SimHub& hub) : hub_(hub) {}
  std::optional<std::int32_t> Count() override;
  std::shared_ptr<Browser> Item(std::int32_t index) override;
  std::unique_ptr<Subscription> Subscribe(std::weak_ptr<ShellWindowsEventSink> sink) override;
  bool Lost() const override { return lost_; }
  // Explorer ends: every later call on this list fails and its events stop.
  void Die();
  bool Dead() const { return !alive_; }

  // A window appears in the list (and the shell says so, unless told to keep quiet).
  void Open(const std::shared_ptr<SimBrowser>& window, bool notify = true);
  // A window leaves the list: it quits, then the shell says so.
  void Close(const std::shared_ptr<SimBrowser>& window, bool notify = true);
  // A window's process ends: it says nothing, the shell drops it and says so.
  void Crash(const std::shared_ptr<SimBrowser>& window);
  void FireRegistered();
  void FireRevoked();

  std::vector<std::shared_ptr<SimBrowser>> windows;
  SimSubscribers<ShellWindowsEventSink> subscribers;
  std::int32_t nextCookie = 1;

 private:
  SimHub& hub_;
  bool alive_ = true;
  bool lost_ = false;  // a call has failed since the list died
};

class SimBrowserShell : public BrowserShell {
 public:
  std::shared_ptr<ShellWindows> OpenShellWindows() override { return windows; }
  std::shared_ptr<SimShellWindows> windows;  // null: the shell has no window list
};

}  // namespace quellbox::sim
