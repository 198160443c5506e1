#pragma once
// The failure log: where a developer reads what the engine sees only as "failed", and why it
// judged a window as it did. With QUELLBOX_COM_LOG set to a file path, each line is appended
// there (and sent to the debugger); set to "debug", only the debugger hears it. Off by default.
#include <windows.h>

#include <string>

namespace quellbox::win32 {

void Trace(const std::string& text);

// Inside a catch block: records what was caught, and where. Nothing thrown may reach the system,
// and nothing thrown may go unseen (a misspelt control name says which).
void TraceCaught(const char* where) noexcept;

// A Win32 error code (an LSTATUS, a DWORD), told apart from an HRESULT; `answer` is a code that
// is an answer rather than a failure (ERROR_FILE_NOT_FOUND for a value that is not there).
struct Win32Error {
  LONG code;
  LONG answer = ERROR_SUCCESS;
};

HRESULT LogIfFailed(HRESULT hr, const char* call, const char* file, int line);
HRESULT LogIfFailed(Win32Error error, const char* call, const char* file, int line);
// A BOOL result: FALSE means failed, and the thread's last error says why.
HRESULT LogIfFailed(int ok, const char* call, const char* file, int line);
// A handle or pointer: null means failed, and the thread's last error says why.
template <typename T>
HRESULT LogIfFailed(T* handle, const char* call, const char* file, int line) {
  return LogIfFailed(handle != nullptr ? TRUE : FALSE, call, file, line);
}

}  // namespace quellbox::win32

// Records a failed call with its text, file and line in the failure log, and gives back the
// outcome as an HRESULT (S_OK for success): an HRESULT as it is, a Win32 error code wrapped in
// Win32Error, a BOOL or a handle with the last error.
#define LOG_IF_FAILED(...) ::quellbox::win32::LogIfFailed((__VA_ARGS__), #__VA_ARGS__, __FILE__, __LINE__)
