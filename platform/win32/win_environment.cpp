#include "platform/win32/win_environment.h"

#include <vector>

#include "platform/win32/com.h"

namespace quellbox::win32 {

std::string ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return Narrow(path.data(), n);
    path.resize(path.size() * 2);  // truncated: the buffer was too small
  }
}

WinEnvironment::WinEnvironment() {
  std::string path = ModulePath();
  auto slash = path.find_last_of("\\/");
  directory_ = slash == std::string::npos ? std::string() : path.substr(0, slash);
  std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  auto dot = file.find_last_of('.');
  baseName_ = dot == std::string::npos ? file : file.substr(0, dot);
}

std::string WinEnvironment::PathInProgramDirectory(const std::string& fileName) {
  return directory_ + "\\" + fileName;
}

void WinEnvironment::DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
      return;
    }
    // As the main loop does: a dialog's keys (Tab, Enter, Escape) go to the dialog.
    if (preTranslate && preTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::optional<int> WinEnvironment::ProgramMajorVersion(const std::string& path) {
  auto known = versions_.find(path);
  if (known != versions_.end()) return known->second;
  std::optional<int> major;
  std::wstring file = Wide(path);
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  std::vector<BYTE> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (size && GetFileVersionInfoW(file.c_str(), 0, size, data.data()) &&
      VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) && info &&
      length >= sizeof *info)
    major = static_cast<int>(HIWORD(info->dwFileVersionMS));
  versions_[path] = major;
  return major;
}

std::string WinEnvironment::FromCodePage(std::string_view stored) { return Narrow(Wide(stored, CP_ACP)); }

std::string WinEnvironment::ToCodePage(std::string_view text) {
  std::wstring wide = Wide(text);
  return Narrow(wide.data(), wide.size(), CP_ACP);
}

bool WinInstanceLock::ClaimSingleInstance(const std::string& name) {
  mutex_.reset(CreateMutexW(nullptr, FALSE, Wide("Local\\" + name).c_str()));
  DWORD error = GetLastError();
  // Access denied means the mutex exists under other security, so someone holds it. Any other
  // failure leaves us unable to tell: better a second icon than no blocker at all.
  if (!mutex_) return error != ERROR_ACCESS_DENIED;
  return error != ERROR_ALREADY_EXISTS;
}

}  // namespace quellbox::win32
