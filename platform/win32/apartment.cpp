#include "platform/win32/apartment.h"

#include <sddl.h>

#include <vector>

#include "platform/win32/com.h"
#include "platform/win32/handles.h"

namespace quellbox::win32 {
namespace {

using UniqueLocal = UniqueAny<HLOCAL, &::LocalFree>;

// COM_RIGHTS_EXECUTE | COM_RIGHTS_EXECUTE_LOCAL: calls from this machine (XP SP2 on).
constexpr wchar_t kLocalCalls[] = L"0x3";

std::wstring UserSid() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
  UniqueHandle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size ? size : 1);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
  LPWSTR text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
  UniqueLocal owned(text);
  return text;
}

// CoInitializeSecurity takes a descriptor in absolute form; SDDL gives a self-relative one.
class AbsoluteDescriptor {
 public:
  explicit AbsoluteDescriptor(const std::wstring& sddl) {
    PSECURITY_DESCRIPTOR relative = nullptr;
    if (FAILED(LOG_IF_FAILED(
            ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &relative, nullptr))))
      return;
    UniqueLocal owned(relative);
    DWORD sd = 0, dacl = 0, sacl = 0, owner = 0, group = 0;
    MakeAbsoluteSD(relative, nullptr, &sd, nullptr, &dacl, nullptr, &sacl, nullptr, &owner, nullptr, &group);
    sd_.resize(sd);
    dacl_.resize(dacl ? dacl : 1);
    sacl_.resize(sacl ? sacl : 1);
    owner_.resize(owner ? owner : 1);
    group_.resize(group ? group : 1);
    ok_ = SUCCEEDED(LOG_IF_FAILED(MakeAbsoluteSD(relative, sd_.data(), &sd, reinterpret_cast<PACL>(dacl_.data()),
                                                 &dacl, reinterpret_cast<PACL>(sacl_.data()), &sacl, owner_.data(),
                                                 &owner, group_.data(), &group)));
  }
  PSECURITY_DESCRIPTOR get() { return ok_ ? sd_.data() : nullptr; }

 private:
  bool ok_ = false;
  std::vector<BYTE> sd_, dacl_, sacl_, owner_, group_;
};

}  // namespace

std::wstring ComAccessSddl(DWORD major, DWORD minor, const std::wstring& user) {
  std::wstring ace = L";;" + std::wstring(kLocalCalls) + L";;;";
  std::wstring sddl = L"O:" + user + L"G:" + user + L"D:(A" + ace + user + L")(A" + ace + L"SY)";
  if (major > 6 || (major == 6 && minor >= 2)) sddl += L"(A" + ace + L"S-1-15-2-1)";
  // Vista on: a low mandatory label, so that low-integrity callers may call in (No-Execute-Up
  // is the right COM checks against the label).
  if (major >= 6) sddl += L"S:(ML;;NX;;;LW)";
  return sddl;
}

HRESULT CallBoundFilter::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
    *out = static_cast<IMessageFilter*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

DWORD CallBoundFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) { return SERVERCALL_ISHANDLED; }

// Return values: a delay in milliseconds (100 or more) before the call is tried again, or -1 to
// give up, so that the call fails.
DWORD CallBoundFilter::RetryRejectedCall(HTASK, DWORD elapsed, DWORD rejectType) {
  if (rejectType == SERVERCALL_RETRYLATER && elapsed < kRetryForMs) return kRetryAfterMs;
  return static_cast<DWORD>(-1);
}

// Windows fails a cancelled call with RPC_E_CALL_CANCELED at once. (Wine records the cancel
// but goes on waiting until the callee answers; the answer is then thrown away.)
DWORD CallBoundFilter::MessagePending(HTASK, DWORD elapsed, DWORD) {
  if (elapsed < kCallBoundMs) return PENDINGMSG_WAITDEFPROCESS;
  // Wine asks again for the same call until it is answered: record the call once. (A call is
  // known by when it began, within a second: the ticks are read at different moments.)
  DWORD started = GetTickCount() - elapsed;
  bool sameCall = started - cancelled_ + 1000 <= 2000;
  if (!sameCall) Trace("a call into another process, unanswered for 5 s, given up");
  cancelled_ = started;
  return PENDINGMSG_CANCELCALL;
}

ComApartment::ComApartment() {
  initialized_ = SUCCEEDED(LOG_IF_FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  if (!initialized_) return;
  // Before the first object is made or handed out: COM fixes the process's security then.
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExW(&version);
  AbsoluteDescriptor access(ComAccessSddl(version.dwMajorVersion, version.dwMinorVersion, UserSid()));
  if (access.get())
    LOG_IF_FAILED(CoInitializeSecurity(access.get(), -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                       RPC_C_IMP_LEVEL_IDENTIFY, nullptr, EOAC_NONE, nullptr));
  filterRegistered_ = SUCCEEDED(LOG_IF_FAILED(CoRegisterMessageFilter(&filter_, nullptr)));
}

ComApartment::~ComApartment() {
  waker_.reset();  // first: a tick may be running
  if (filterRegistered_) CoRegisterMessageFilter(nullptr, nullptr);
  if (initialized_) CoUninitialize();
}

void ComApartment::WakeWhileBusy(HWND window) {
  window_ = window;
  if (!waker_) LOG_IF_FAILED(CreateTimerQueueTimer(waker_.put(), nullptr, &ComApartment::Tick, this, 500, 500, WT_EXECUTEDEFAULT));
}

// On a thread of the system's pool: only a sent message, which any wait for messages delivers.
void CALLBACK ComApartment::Tick(void* param, BOOLEAN) {
  auto* self = static_cast<ComApartment*>(param);
  if (InterlockedCompareExchange(&self->idle_, 0, 0) == 0) SendNotifyMessageW(self->window_, WM_NULL, 0, 0);
}

}  // namespace quellbox::win32
