// A program that only carries a version resource: the browser fake_ie.exe puts where a
// scenario's window says its Internet Explorer is, so that Quellbox reads that version. Started
// as the default browser, it writes its command line to the file QUELLBOX_OPENED_LOG names.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t log[MAX_PATH];
  DWORD length = GetEnvironmentVariableW(L"QUELLBOX_OPENED_LOG", log, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 0;
  HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  char line[8192];
  int n = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line, nullptr, nullptr);
  DWORD written = 0;
  if (n > 0) {
    line[n - 1] = '\n';
    WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
  }
  CloseHandle(file);
  return 0;
}
