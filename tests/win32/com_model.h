#pragma once
// Internet Explorer's automation objects and MSHTML documents as COM objects over the scenario
// runner's simulated windows: every property read goes to the model (so "inside" runs there)
// and every event the model raises reaches the connected sinks through IDispatch::Invoke with
// the argument layout the browser uses. In-process they drive the Win32 adapters in the unit
// tests; in the fake browser server the same objects are called across processes.
#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_browser.h"
#include "platform/win32/com.h"

namespace quellbox::win32::testing {

class ComModel {
 public:
  // `keepAlive` (the hub the model's objects read through) lives as long as any of them: a
  // process that held one may release it only when its COM apartment ends, after the model.
  explicit ComModel(std::shared_ptr<void> keepAlive = nullptr);
  ~ComModel();  // breaks the cache; objects still held elsewhere keep working
  ComModel(const ComModel&) = delete;
  ComModel& operator=(const ComModel&) = delete;

  // One COM object per model object, for as long as the model lives: COM identity holds.
  ComPtr<IDispatch> Browser(const std::shared_ptr<sim::SimBrowser>& browser);
  ComPtr<IDispatch> Document(const std::shared_ptr<sim::SimDocument>& document);

  // A browser's event connection: what a monitor of Quellbox's is, with the key its collection
  // files it under (the handle, or the stored id of a window without one).
  struct Connection {
    const sim::SimBrowser* browser;
    std::string key;
    DWORD cookie;
  };
  const std::vector<Connection>& Connections() const;
  // The window handle the browser object gives for the model window (a real window of this
  // process, so that the system can tell whether it still exists).
  std::int64_t HandleOf(const std::shared_ptr<sim::SimBrowser>& browser);

  // Counts every call made on the model's objects: a host waits until they stop coming.
  long Calls() const;
  // The windows are shown on the desktop, captioned with their title and address (a demo).
  void ShowWindows();

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

// The shell's window list: items are browser objects of any process; listeners of
// DShellWindowsEvents hear registrations and revocations. Another process controls it through
// IDispatch::Invoke with the dispatch ids below.
// `revoke` runs at kShellRevoke.
ComPtr<IShellWindows> NewShellList(std::function<void()> revoke = {});

inline constexpr DISPID kShellOpen = 1001;    // (VT_DISPATCH window, VT_BOOL notify)
inline constexpr DISPID kShellClose = 1002;   // (VT_DISPATCH window, VT_BOOL notify)
inline constexpr DISPID kShellNotify = 1003;  // ()
inline constexpr DISPID kShellListeners = 1004;  // () -> VT_I4: connected listeners
inline constexpr DISPID kShellRevoke = 1005;  // (): the serving process withdraws its class
inline constexpr DISPID kShellWatch = 1006;   // (VT_DISPATCH watcher): told of every read
inline constexpr DISPID kShellReading = 1;    // the watcher's method: (VT_BSTR "Count" or "Item")

// The class Quellbox reaches the fake shell list by: CLSID_ShellWindows is treated as it.
// {5A3C1E2B-7D1F-4C2A-9E10-51D0C0E1E5A1}
inline constexpr GUID kFakeShellWindowsClsid = {0x5a3c1e2b, 0x7d1f, 0x4c2a,
                                                {0x9e, 0x10, 0x51, 0xd0, 0xc0, 0xe1, 0xe5, 0xa1}};

// Calls a sink's Invoke with the event's arguments given first to last.
HRESULT Fire(IDispatch* sink, DISPID id, std::vector<VARIANT> args = {}, VARIANT* result = nullptr);

// Calls the control methods of a shell list, here or in another process.
HRESULT ShellControl(IDispatch* shell, DISPID id, IDispatch* window = nullptr, bool notify = false,
                     VARIANT* result = nullptr);

}  // namespace quellbox::win32::testing
