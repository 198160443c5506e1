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
  // Opens the shell's list anew (Explorer restarted, or was not up at start) and listens to it
  // at once: the windows it lists that have no monitor are wrapped as the start-up scan wraps
  // them, and a window that registers meanwhile is judged as a new one. Monitors stay.
  void Reconnect();
  // Drops every monitor and stops listening. Safe while a pass is under way: the pass stops at
  // its next step.
  void Close();

 private:
  explicit cIEWindows(Engine& engine);
  using Snapshot = std::vector<std::shared_ptr<Browser>>;  // null where an item was unreadable

  // Scans the list and listens to it; a reconnection listens before it scans.
  void Connect(const std::shared_ptr<ShellWindows>& shell, bool listenFirst);
  void WaitWhileBusy();
  // Every window of the list, read before anything is done to any of them: a window that quits
  // meanwhile must not shift the positions of the others.
  static std::optional<Snapshot> TakeSnapshot(ShellWindows& shell);
  // Rule 1 lives here: wraps and judges a window that has no monitor, `foundByScan` when the
  // scan of the list found it (it is then the user's, rule 3).
  void Wrap(const std::shared_ptr<Browser>& window, bool foundByScan);
  bool FoundByScan(const Browser& window) const;
  bool Known(Browser& window);
  const IE_Class* FindByIdentity(const void* identity) const;
  // Whether there is evidence that the monitor's window has gone: its OnQuit, its object's
  // process gone, or its handle naming no window.
  bool HasLeft(const IE_Class& monitor);
  bool Contains(const std::shared_ptr<IE_Class>& monitor) const;
  void Remove(const std::shared_ptr<IE_Class>& monitor);
  // Drops the monitors of windows that have left.
  void Revoke();

  struct Entry {
    std::string key;
    std::shared_ptr<IE_Class> monitor;
  };
  Engine& engine_;
  std::vector<Entry> list_;
  bool busy_ = false;
  bool closed_ = false;
  std::vector<const void*> scanned_;  // identities of the windows the running scan found
  std::shared_ptr<ShellWindows> winShell_;
  std::unique_ptr<Subscription> events_;
};

}  // namespace quellbox
