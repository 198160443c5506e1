#pragma once
// The program's list of browser windows: one monitor per window the shell knows, wrapped and
// judged when it first appears, dropped when its window has gone.
#include <memory>
#include <string>
#include <vector>

#include "core/browser.h"
#include "monitor/ie_class.h"

namespace quellbox {

class cIEWindows : public ShellWindowsEventSink, public std::enable_shared_from_this<cIEWindows> {
 public:
  // Wraps and judges the windows open now, then listens to the shell.
  static std::shared_ptr<cIEWindows> Create(Engine& engine);
  ~cIEWindows() override;
  cIEWindows(const cIEWindows&) = delete;
  cIEWindows& operator=(const cIEWindows&) = delete;

  // Attaches a monitor to the window, keeps it under the window's id unless that key is taken,
  // and judges the window either way.
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

 private:
  explicit cIEWindows(Engine& engine);
  void InitialScan();
  void WaitWhileBusy();
  bool Contains(const std::shared_ptr<IE_Class>& monitor) const;
  void Remove(const std::shared_ptr<IE_Class>& monitor);
  void RevokeWithFreshCounts();
  void RevokeWithOneSnapshot();

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
