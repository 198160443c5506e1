// Stands in for the HTML Help library: appends the command of every HtmlHelpA call to the file
// named by QUELLBOX_FAKE_HHCTRL_LOG, one decimal number per line.
#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) HWND WINAPI HtmlHelpA(HWND, LPCSTR, UINT command, DWORD_PTR) {
  char log[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("QUELLBOX_FAKE_HHCTRL_LOG", log, sizeof log);
  if (n > 0 && n < sizeof log) {
    if (std::FILE* f = std::fopen(log, "ab")) {
      std::fprintf(f, "%u\n", command);
      std::fclose(f);
    }
  }
  return nullptr;
}
