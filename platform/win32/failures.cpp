#include "platform/win32/failures.h"

#include <exception>

#include "platform/win32/com.h"
#include "platform/win32/handles.h"

namespace quellbox::win32 {
namespace {

// Where lines go: nowhere (the default), the debugger, or a file and the debugger. Asked at
// every line, which is rare, so that it can be switched on in a running process.
struct FailureLog {
  bool enabled = false;
  std::wstring file;
  FailureLog() {
    wchar_t value[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"QUELLBOX_COM_LOG", value, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    enabled = true;
    if (lstrcmpiW(value, L"debug") != 0) file = value;
  }
};

// The file name without its folders: the source tree of the build machine says nothing.
const char* BaseName(const char* path) {
  const char* base = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') base = p + 1;
  return base;
}

}  // namespace

void Trace(const std::string& text) {
  const FailureLog log;
  if (!log.enabled) return;
  std::string line = "Quellbox: " + text + "\r\n";
  // The log's lines are UTF-8, as the program's text is.
  OutputDebugStringW(Wide(line).c_str());
  if (log.file.empty()) return;
  HANDLE f = CreateFileW(log.file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  UniqueHandle file(f == INVALID_HANDLE_VALUE ? nullptr : f);
  DWORD written = 0;
  if (file) WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void TraceCaught(const char* where) noexcept {
  try {
    try {
      throw;
    } catch (const std::exception& e) {
      Trace(std::string(where) + " stopped: " + e.what());
    } catch (...) {
      Trace(std::string(where) + " stopped by an unknown exception");
    }
  } catch (...) {
    // out of memory while recording it: nothing more can be said
  }
}

HRESULT LogIfFailed(HRESULT hr, const char* call, const char* file, int line) {
  if (SUCCEEDED(hr)) return hr;
  char where[64];  // ASCII only: the A form is all it needs
  wsprintfA(where, " failed: 0x%08lX (%s:%d)", static_cast<unsigned long>(hr), BaseName(file), line);
  Trace(call + std::string(where));
  return hr;
}

HRESULT LogIfFailed(Win32Error error, const char* call, const char* file, int line) {
  HRESULT hr = HRESULT_FROM_WIN32(static_cast<DWORD>(error.code));
  if (error.code == error.answer) return hr;
  return LogIfFailed(hr, call, file, line);
}

HRESULT LogIfFailed(int ok, const char* call, const char* file, int line) {
  if (ok) return S_OK;
  DWORD error = GetLastError();
  // A call that failed without saying why is still a failure.
  return LogIfFailed(error ? HRESULT_FROM_WIN32(error) : E_FAIL, call, file, line);
}

}  // namespace quellbox::win32
