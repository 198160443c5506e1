#include "tracking/ie_windows.h"

#include <algorithm>

#include "tracking/popup_decision.h"

namespace quellbox {
namespace {

// Sets a flag for a scope and puts back what it was, however the scope is left.
class FlagScope {
 public:
  FlagScope(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~FlagScope() { flag_ = saved_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

}  // namespace

std::shared_ptr<cIEWindows> cIEWindows::Create(Engine& engine) {
  std::shared_ptr<cIEWindows> windows(new cIEWindows(engine));
  windows->Connect(engine.services.shell.OpenShellWindows(), false);
  return windows;
}

cIEWindows::cIEWindows(Engine& engine) : engine_(engine) {}

cIEWindows::~cIEWindows() {
  events_.reset();  // disconnect from the shell before the monitors go
  list_.clear();
}

void cIEWindows::Close() {
  closed_ = true;
  events_.reset();
  winShell_.reset();
  list_.clear();  // monitors whose handlers run hold themselves until they return
}

void cIEWindows::Connect(const std::shared_ptr<ShellWindows>& shell, bool listenFirst) {
  if (!shell || closed_) return;
  auto self = shared_from_this();
  winShell_ = shell;
  // After an Explorer restart, windows register again while the list is being read, and each
  // must be heard. At start-up, notifications raised while the scan runs are not delivered.
  if (listenFirst) events_ = shell->Subscribe(weak_from_this());
  // The windows the scan finds are the user's own: an allowance left pending while Explorer was
  // away was theirs and must not let a pop-up through, neither now nor after the scan.
  if (listenFirst) engine_.state.flags.NewWindowAllowed = false;
  busy_ = true;
  if (auto windows = TakeSnapshot(*shell)) {
    for (const auto& window : *windows)
      if (window) scanned_.push_back(window->Identity());
    for (const auto& window : *windows) {
      if (closed_) break;
      if (window) Wrap(window, true);
    }
  }
  scanned_.clear();
  busy_ = false;
  if (closed_) return;
  if (listenFirst) engine_.state.flags.NewWindowAllowed = false;
  else events_ = shell->Subscribe(weak_from_this());
}

bool cIEWindows::ShellConnected() const { return winShell_ && events_ && !winShell_->Lost(); }

void cIEWindows::Reconnect() {
  if (busy_ || closed_) return;  // a scan is under way and connects when it ends
  auto self = shared_from_this();
  events_.reset();
  winShell_.reset();
  auto shell = engine_.services.shell.OpenShellWindows();
  if (!shell || closed_) return;
  Revoke();
  Connect(shell, true);
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

bool cIEWindows::FoundByScan(const Browser& window) const {
  const void* identity = window.Identity();
  return identity && std::find(scanned_.begin(), scanned_.end(), identity) != scanned_.end();
}

void cIEWindows::AddIE(const std::shared_ptr<Browser>& window, std::int32_t) {
  if (window) Wrap(window, FoundByScan(*window));
}

void cIEWindows::Wrap(const std::shared_ptr<Browser>& window, bool foundByScan) {
  if (closed_) return;
  auto self = shared_from_this();
  // One monitor and one judgement per window, whatever the reads below let in: the entry is
  // made before the attach reads, so that a pass nested in them finds the window taken.
  if (FindByIdentity(window->Identity())) return;
  // A window the scan found is the user's, whichever pass gets to it first.
  FlagScope scan(engine_.state.flags.InitialScan, foundByScan);
  auto monitor = IE_Class::Create(engine_);
  list_.push_back({"", monitor});
  monitor->SetIECtl(window);
  std::string key = std::to_string(monitor->IEHandle());
  if (!Contains(monitor)) return;  // dropped by a pass nested in the reads, or closed
  // A window that left before its turn (it quit while other windows were read) is not judged.
  if (HasLeft(*monitor)) {
    Remove(monitor);
    return;
  }
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
  if (std::any_of(list_.begin(), list_.end(),
                  [&](const Entry& e) { return byId(e.monitor) && e.monitor->RecordedHandle() == id; }))
    return true;
  bool found = false;
  // Works on a copy: the reads below may deliver events that change the list.
  for (const auto& monitor : NewEnum()) {
    if (!byId(monitor) || monitor->RecordedHandle() != 0) continue;
    auto property = monitor->QuellboxProperty();
    if (!property) continue;  // this monitor cannot be looked at; go on with the next
    if (monitor->IEHandle() == id || *property == id) found = true;
  }
  return found;
}

void cIEWindows::WindowRegistered(std::int32_t) {
  if (closed_) return;
  auto self = shared_from_this();
  auto shell = winShell_;
  auto windows = shell ? TakeSnapshot(*shell) : std::nullopt;
  if (!windows) return;
  for (const auto& window : *windows) {
    if (closed_) return;
    if (window && !Known(*window)) Wrap(window, FoundByScan(*window));
  }
}

void cIEWindows::WindowRevoked(std::int32_t) {
  if (closed_) return;
  auto self = shared_from_this();
  Revoke();
}

// A monitor goes only on evidence about its own window, never because one look at the shell's
// list missed it: that list renumbers when a window quits between two reads of it, and after an
// Explorer restart windows show up in it late. Reads nothing, so nothing can change the list.
bool cIEWindows::HasLeft(const IE_Class& monitor) {
  if (monitor.HeardQuit()) return true;
  if (monitor.IECtl() && monitor.IECtl()->Lost()) return true;
  std::int32_t handle = monitor.RecordedHandle();
  return handle != 0 && !engine_.services.input.WindowExists(handle);
}

void cIEWindows::Revoke() {
  for (const auto& monitor : NewEnum())
    if (HasLeft(*monitor)) Remove(monitor);
}

}  // namespace quellbox
