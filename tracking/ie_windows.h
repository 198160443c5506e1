#pragma once
// The program's list of browser windows: one monitor per window the shell knows, wrapped and
// judged when it first appears, dropped when its window has gone.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/browser.h"
#include "monitor/ie_class.h"

namespace quellbox {

class cIEWindows : public ShellWindowsEventSink, public std::enable_shared_from_this<cIEWindows> {
 public:
  // Wraps and judges the windows open now, then listens to the shell. Without a shell to talk
  // to (it is not up yet), the list stays empty until Reconnect succeeds.
  static std::shared_ptr<cIEWindows> Create(Engine& engine);
  ~cIEWindows() override;
  cIEWindows(const cIEWindows&) = delete;
  cIEWindows& operator=(const cIEWindows&) = delete;

  // Attaches a monitor to the window and judges it, unless the window has one already.
  void AddIE(const std::shared_ptr<Browser>& window, std::int32_t cookie);
  // By decimal id text or by position from 1; null when there is none.
  std::shared_ptr<IE_Class> IE(const std::string& key);
  std::shared_ptr<IE_Class> IE(int position);
  std::int32_t Count() const { return static_cast<std::int32_t>(list_.size()); }
  // The monitors in list order.
  std::vector<std::shared_ptr<IE_Class>> NewEnum() const;
  std::vector<std::string> Keys() const;

  void WindowRegistered(std::int32_t cookie) override;
  void WindowRevoked(std::int32_t cookie) override;

  // True while the shell's list is open, its events connected and no call has found it gone.
  bool ShellConnected() const;
  // Opens the shell's list anew (Explorer restarted, or was not up at start): drops the
  // monitors of windows that closed meanwhile, wraps the windows it does not know yet as the
  // start-up scan does, and listens again. Monitors of windows that stayed are kept as they are.
  void Reconnect();

 private:
  explicit cIEWindows(Engine& engine);
  using Snapshot = std::vector<std::shared_ptr<Browser>>;  // null where an item was unreadable

  void Connect(const std::shared_ptr<ShellWindows>& shell);
  void WaitWhileBusy();
  // Every window of the list, read before anything is done to any of them: a window that quits
  // meanwhile must not shift the positions of the others.
  static std::optional<Snapshot> TakeSnapshot(ShellWindows& shell);
  // Wraps every window of the snapshot that has no monitor yet.
  void WrapNew(const Snapshot& windows, std::int32_t cookie);
  bool Known(Browser& window);
  const IE_Class* FindByIdentity(const void* identity) const;
  // Whether the monitor's window is among the windows; nullopt when that cannot be told.
  std::optional<bool> IsLive(const std::shared_ptr<IE_Class>& monitor, const Snapshot& windows);
  bool Contains(const std::shared_ptr<IE_Class>& monitor) const;
  void Remove(const std::shared_ptr<IE_Class>& monitor);
  void RevokeWithFreshCounts(ShellWindows* shell);
  void RevokeWithOneSnapshot(ShellWindows* shell);
  void Revoke(ShellWindows* shell);

  struct Entry {
    std::string key;
    std::shared_ptr<IE_Class> monitor;
  };
  Engine& engine_;
  std::vector<Entry> list_;
  bool busy_ = false;
  std::shared_ptr<ShellWindows> winShell_;
  std::unique_ptr<Subscription> events_;
};

}  // namespace quellbox
