#include "tracking/ie_windows.h"

#include <algorithm>
#include <set>

#include "tracking/popup_decision.h"

namespace quellbox {

std::shared_ptr<cIEWindows> cIEWindows::Create(Engine& engine) {
  std::shared_ptr<cIEWindows> windows(new cIEWindows(engine));
  windows->InitialScan();
  return windows;
}

cIEWindows::cIEWindows(Engine& engine) : engine_(engine) {}

cIEWindows::~cIEWindows() {
  events_.reset();  // disconnect from the shell before the monitors go
  list_.clear();
}

void cIEWindows::InitialScan() {
  auto self = shared_from_this();
  busy_ = true;
  engine_.state.flags.InitialScan = true;
  list_.clear();
  auto shell = engine_.services.shell.OpenShellWindows();
  if (auto count = shell ? shell->Count() : std::nullopt) {
    for (std::int32_t i = 0; i < *count; ++i)
      if (auto window = shell->Item(i)) AddIE(window, 0);
  }
  engine_.state.flags.InitialScan = false;
  // Notifications the shell raised while the scan ran are not delivered.
  winShell_ = shell;
  if (winShell_) events_ = winShell_->Subscribe(weak_from_this());
  busy_ = false;
}

void cIEWindows::WaitWhileBusy() {
  while (busy_) engine_.services.env.DoEvents();
}

void cIEWindows::AddIE(const std::shared_ptr<Browser>& window, std::int32_t) {
  auto self = shared_from_this();
  auto monitor = IE_Class::Create(engine_);
  monitor->SetIECtl(window);
  std::string key = std::to_string(monitor->IEHandle());
  // A key already present keeps its monitor; the new one is dropped after the judgement.
  bool taken = std::any_of(list_.begin(), list_.end(), [&](const Entry& e) { return e.key == key; });
  if (!taken) list_.push_back({key, monitor});
  JudgeNewWindow(engine_, *window, monitor.get());
}

std::shared_ptr<IE_Class> cIEWindows::IE(const std::string& key) {
  WaitWhileBusy();
  for (const Entry& e : list_)
    if (e.key == key) return e.monitor;
  return nullptr;
}

std::shared_ptr<IE_Class> cIEWindows::IE(int position) {
  WaitWhileBusy();
  if (position < 1 || position > Count()) return nullptr;
  return list_[static_cast<std::size_t>(position - 1)].monitor;
}

std::vector<std::shared_ptr<IE_Class>> cIEWindows::NewEnum() const {
  std::vector<std::shared_ptr<IE_Class>> monitors;
  for (const Entry& e : list_) monitors.push_back(e.monitor);
  return monitors;
}

std::vector<std::string> cIEWindows::Keys() const {
  std::vector<std::string> keys;
  for (const Entry& e : list_) keys.push_back(e.key);
  return keys;
}

bool cIEWindows::Contains(const std::shared_ptr<IE_Class>& monitor) const {
  return std::any_of(list_.begin(), list_.end(), [&](const Entry& e) { return e.monitor == monitor; });
}

void cIEWindows::Remove(const std::shared_ptr<IE_Class>& monitor) {
  std::erase_if(list_, [&](const Entry& e) { return e.monitor == monitor; });
}

void cIEWindows::WindowRegistered(std::int32_t cookie) {
  auto self = shared_from_this();
  auto shell = winShell_;
  auto count = shell ? shell->Count() : std::nullopt;
  for (std::int32_t i = 0; count && i < *count; ++i) {
    auto window = shell->Item(i);
    if (!window) continue;
    std::int32_t id = WindowId(engine_, *window, true);
    bool found = false;
    // Ids are stored only in windows without a handle, so a monitor that recorded a handle is
    // known by it alone; comparing those reads nothing, so nothing can change the list.
    if (id != 0 && engine_.rememberWindowIds)
      found = std::any_of(list_.begin(), list_.end(),
                          [&](const Entry& e) { return e.monitor->RecordedHandle() == id; });
    if (id != 0 && !found) {
      // Works on a copy: the reads below may deliver events that change the list.
      for (const auto& monitor : NewEnum()) {
        if (engine_.rememberWindowIds && monitor->RecordedHandle() != 0) continue;
        auto property = monitor->QuellboxProperty();
        if (!property) continue;  // this monitor cannot be looked at; go on with the next
        if (monitor->IEHandle() == id || *property == id) found = true;
      }
    }
    if (!found) AddIE(window, cookie);
    WaitWhileBusy();
  }
}

void cIEWindows::WindowRevoked(std::int32_t) {
  auto self = shared_from_this();
  if (engine_.rememberWindowIds) RevokeWithOneSnapshot();
  else RevokeWithFreshCounts();
}

// Asks the shell about every window once per monitor, as the shell list may change under way.
void cIEWindows::RevokeWithFreshCounts() {
  auto shell = winShell_;
  auto monitors = NewEnum();
  for (auto it = monitors.rbegin(); it != monitors.rend(); ++it) {
    const auto& monitor = *it;
    if (!Contains(monitor)) continue;  // already dropped by a nested pass
    auto count = shell ? shell->Count() : std::nullopt;
    auto handle = monitor->ReadIEHandle();
    // A window that cannot be read keeps its monitor.
    bool found = !count || !handle;
    for (std::int32_t j = 0; !found && j < *count; ++j) {
      auto item = shell->Item(j);
      if (!item) {
        found = true;
        continue;
      }
      std::int32_t h = static_cast<std::int32_t>(item->Hwnd().value_or(0));
      if (h == 0) {
        auto property = item->GetProperty(kWindowIdProperty);
        if (!property) {
          found = true;
          continue;
        }
        h = *property;
      }
      if (*handle == h) found = true;
    }
    if (!found) {
      Remove(monitor);
      WaitWhileBusy();
    }
  }
}

// The same judgement from one look at the shell list. A window that closes during the pass
// raises a revocation of its own, which then drops its monitor.
void cIEWindows::RevokeWithOneSnapshot() {
  auto shell = winShell_;
  auto count = shell ? shell->Count() : std::nullopt;
  if (!count) return;
  std::set<std::int32_t> live;
  for (std::int32_t j = 0; j < *count; ++j) {
    auto item = shell->Item(j);
    if (!item) return;  // cannot tell which windows are gone: keep them all
    std::int32_t h = static_cast<std::int32_t>(item->Hwnd().value_or(0));
    if (h == 0) {
      auto property = item->GetProperty(kWindowIdProperty);
      if (!property) return;
      h = *property;
    }
    live.insert(h);
  }
  auto monitors = NewEnum();
  for (auto it = monitors.rbegin(); it != monitors.rend(); ++it) {
    const auto& monitor = *it;
    if (!Contains(monitor)) continue;
    auto handle = monitor->ReadIEHandle();
    if (!handle || live.count(*handle)) continue;
    Remove(monitor);
    WaitWhileBusy();
  }
}

}  // namespace quellbox
