#include "tracking/ie_windows.h"

#include <algorithm>

#include "tracking/popup_decision.h"

namespace quellbox {

std::shared_ptr<cIEWindows> cIEWindows::Create(Engine& engine) {
  std::shared_ptr<cIEWindows> windows(new cIEWindows(engine));
  windows->Connect(engine.services.shell.OpenShellWindows());
  return windows;
}

cIEWindows::cIEWindows(Engine& engine) : engine_(engine) {}

cIEWindows::~cIEWindows() {
  events_.reset();  // disconnect from the shell before the monitors go
  list_.clear();
}

void cIEWindows::Connect(const std::shared_ptr<ShellWindows>& shell) {
  if (!shell) return;
  auto self = shared_from_this();
  busy_ = true;
  engine_.state.flags.InitialScan = true;
  if (auto windows = TakeSnapshot(*shell)) {
    for (const auto& window : *windows)
      if (window) AddIE(window, 0);
  }
  engine_.state.flags.InitialScan = false;
  // Notifications the shell raised while the scan ran are not delivered.
  winShell_ = shell;
  events_ = winShell_->Subscribe(weak_from_this());
  busy_ = false;
}

bool cIEWindows::ShellConnected() const { return winShell_ && events_ && !winShell_->Lost(); }

void cIEWindows::Reconnect() {
  if (busy_) return;  // a scan is under way and connects when it ends
  auto self = shared_from_this();
  events_.reset();
  winShell_.reset();
  auto shell = engine_.services.shell.OpenShellWindows();
  if (!shell) return;
  Revoke(shell.get());
  Connect(shell);
}

void cIEWindows::WaitWhileBusy() {
  while (busy_) engine_.services.env.DoEvents();
}

std::optional<cIEWindows::Snapshot> cIEWindows::TakeSnapshot(ShellWindows& shell) {
  auto count = shell.Count();
  if (!count) return std::nullopt;
  Snapshot windows;
  for (std::int32_t i = 0; i < *count; ++i) windows.push_back(shell.Item(i));
  return windows;
}

const IE_Class* cIEWindows::FindByIdentity(const void* identity) const {
  if (!identity) return nullptr;
  for (const Entry& e : list_)
    if (e.monitor->IECtl() && e.monitor->IECtl()->Identity() == identity) return e.monitor.get();
  return nullptr;
}

void cIEWindows::AddIE(const std::shared_ptr<Browser>& window, std::int32_t) {
  if (!window) return;
  auto self = shared_from_this();
  // One monitor and one judgement per window, whatever the reads below let in: the entry is
  // made before the attach reads, so that a pass nested in them finds the window taken.
  if (FindByIdentity(window->Identity())) return;
  auto monitor = IE_Class::Create(engine_);
  list_.push_back({"", monitor});
  monitor->SetIECtl(window);
  std::string key = std::to_string(monitor->IEHandle());
  // A pass nested in the reads found the window gone from the shell: nothing is left to judge.
  if (!Contains(monitor)) return;
  for (Entry& e : list_)
    if (e.monitor == monitor) e.key = key;
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

// A window the shell lists is known when a monitor holds the same object. Ids (the handle or
// the stored number) are compared only where an identity is missing, and a window whose
// handle cannot be read is never given a new id: a failed read must not make a window the user
// already had look new.
bool cIEWindows::Known(Browser& window) {
  const void* identity = window.Identity();
  if (FindByIdentity(identity)) return true;
  auto byId = [&](const std::shared_ptr<IE_Class>& m) {
    return !identity || !m->IECtl() || !m->IECtl()->Identity();
  };
  std::int32_t id = WindowId(engine_, window, Naming::IfHandleless);
  // Without an identity, a window that has no id to compare may well be one we know.
  if (id == 0) return !identity;
  // Ids are stored only in windows without a handle, so a monitor that recorded a handle is
  // known by it alone; comparing those reads nothing, so nothing can change the list.
  if (engine_.rememberWindowIds &&
      std::any_of(list_.begin(), list_.end(),
                  [&](const Entry& e) { return byId(e.monitor) && e.monitor->RecordedHandle() == id; }))
    return true;
  bool found = false;
  // Works on a copy: the reads below may deliver events that change the list.
  for (const auto& monitor : NewEnum()) {
    if (!byId(monitor) || (engine_.rememberWindowIds && monitor->RecordedHandle() != 0)) continue;
    auto property = monitor->QuellboxProperty();
    if (!property) continue;  // this monitor cannot be looked at; go on with the next
    if (monitor->IEHandle() == id || *property == id) found = true;
  }
  return found;
}

void cIEWindows::WindowRegistered(std::int32_t cookie) {
  auto self = shared_from_this();
  auto shell = winShell_;
  auto windows = shell ? TakeSnapshot(*shell) : std::nullopt;
  if (!windows) return;
  for (const auto& window : *windows) {
    if (window && !Known(*window)) AddIE(window, cookie);
    WaitWhileBusy();
  }
}

void cIEWindows::WindowRevoked(std::int32_t) {
  auto self = shared_from_this();
  auto shell = winShell_;
  Revoke(shell.get());
}

void cIEWindows::Revoke(ShellWindows* shell) {
  if (!shell) return;
  if (engine_.rememberWindowIds) RevokeWithOneSnapshot(shell);
  else RevokeWithFreshCounts(shell);
}

// By identity where both sides have one; by id otherwise, the way the shell numbers windows.
// A window that cannot be looked at keeps its monitor only when it could be the monitor's own:
// an unreadable window of another identity says nothing about this one.
std::optional<bool> cIEWindows::IsLive(const std::shared_ptr<IE_Class>& monitor, const Snapshot& windows) {
  const void* identity = monitor->IECtl() ? monitor->IECtl()->Identity() : nullptr;
  bool unsure = false;
  std::optional<std::optional<std::int32_t>> mine;  // read once, and only if needed
  for (const auto& item : windows) {
    if (!item) {
      unsure = true;
      continue;
    }
    if (identity && item->Identity()) {
      if (item->Identity() == identity) return true;
      continue;
    }
    if (!mine) mine = monitor->ReadIEHandle();
    if (!*mine) return std::nullopt;
    auto hwnd = item->Hwnd();
    std::optional<std::int32_t> h;
    if (hwnd && *hwnd != 0) h = static_cast<std::int32_t>(*hwnd);
    else if (hwnd) h = item->GetProperty(kWindowIdProperty);
    if (!h) unsure = true;
    else if (*h == **mine) return true;
  }
  if (unsure) return std::nullopt;
  return false;
}

// Asks the shell about every window once per monitor, as the shell list may change under way.
void cIEWindows::RevokeWithFreshCounts(ShellWindows* shell) {
  auto monitors = NewEnum();
  for (auto it = monitors.rbegin(); it != monitors.rend(); ++it) {
    const auto& monitor = *it;
    if (!Contains(monitor)) continue;  // already dropped by a nested pass
    auto windows = TakeSnapshot(*shell);
    if (!windows || IsLive(monitor, *windows).value_or(true)) continue;
    Remove(monitor);
    WaitWhileBusy();
  }
}

// The same judgement from one look at the shell list. A window that closes during the pass
// raises a revocation of its own, which then drops its monitor.
void cIEWindows::RevokeWithOneSnapshot(ShellWindows* shell) {
  auto windows = TakeSnapshot(*shell);
  if (!windows) return;
  auto monitors = NewEnum();
  for (auto it = monitors.rbegin(); it != monitors.rend(); ++it) {
    const auto& monitor = *it;
    if (!Contains(monitor) || IsLive(monitor, *windows).value_or(true)) continue;
    Remove(monitor);
    WaitWhileBusy();
  }
}

}  // namespace quellbox
