#pragma once
// The user-interface thread's COM apartment: who may call into it, and how long it waits for a
// browser that does not answer.
#include <windows.h>
#include <objidl.h>

#include "platform/win32/handles.h"

#include <string>

namespace quellbox::win32 {

// Who may call the program's event sinks, as SDDL. Internet Explorer 7 and later run
// Internet-zone tabs at low integrity (Protected Mode, Vista on), Enhanced Protected Mode tabs
// in an AppContainer (Windows 8 on); a process that does not say otherwise refuses their calls.
// Granted: the user, SYSTEM and, from Windows 8, ALL APPLICATION PACKAGES (S-1-15-2-1: its
// SDDL alias is newer than Windows 8), local calls only, and a low mandatory label. Windows XP's
// SDDL knows no labels. `major.minor` is the Windows version; `user` the user's SID as text.
std::wstring ComAccessSddl(DWORD major, DWORD minor, const std::wstring& user);

// Cancels a call into another process that has not been answered within kCallBoundMs (a tab
// whose script loops never answers), and retries a call the callee rejected as busy for a
// short while. Messages from other programs are taken at any time: the browsers' events arrive
// that way while a call waits.
class CallBoundFilter final : public IMessageFilter {
 public:
  static constexpr DWORD kCallBoundMs = 5000;  // the age at which Windows calls a window hung
  static constexpr DWORD kRetryForMs = 1000;
  static constexpr DWORD kRetryAfterMs = 100;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the apartment
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override;
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed, DWORD rejectType) override;
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD elapsed, DWORD pendingType) override;

 private:
  DWORD cancelled_ = 0x80000000;  // when the call last cancelled was made, roughly
};

// CoInitializeEx, the process's COM security and the call bound, undone in reverse order.
// Failures are recorded and the program runs on: it then hears fewer browsers, or waits longer.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  // COM asks the message filter only when a message arrives while a call waits: while the
  // thread is away from its message loop, `window` is sent a message twice a second.
  void WakeWhileBusy(HWND window);
  // Called by the message loop around its wait for the next message.
  void Idle(bool idle) { InterlockedExchange(&idle_, idle ? 1 : 0); }

 private:
  static void CALLBACK Tick(void* self, BOOLEAN);
  bool initialized_ = false;
  CallBoundFilter filter_;
  bool filterRegistered_ = false;
  UniqueQueueTimer waker_;
  HWND window_ = nullptr;
  volatile LONG idle_ = 0;
};

}  // namespace quellbox::win32
