// Stands in for the HTML Help library: appends the command of every HtmlHelpW call to the file
// named by QUELLBOX_FAKE_HHCTRL_LOG, one decimal number per line; a text popup's line also
// carries its topic.
#include <windows.h>

#include <cstdio>

namespace {
constexpr UINT kTextPopup = 0x000E;  // HH_DISPLAY_TEXT_POPUP
struct Popup {  // the head of HH_POPUP
  int cbStruct;
  HINSTANCE hinst;
  UINT idString;
};
}  // namespace

extern "C" __declspec(dllexport) HWND WINAPI HtmlHelpW(HWND, LPCWSTR, UINT command, DWORD_PTR data) {
  char log[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("QUELLBOX_FAKE_HHCTRL_LOG", log, sizeof log);
  if (n > 0 && n < sizeof log) {
    if (std::FILE* f = std::fopen(log, "ab")) {
      if (command == kTextPopup && data) std::fprintf(f, "%u %u\n", command, reinterpret_cast<Popup*>(data)->idString);
      else std::fprintf(f, "%u\n", command);
      std::fclose(f);
    }
  }
  return nullptr;
}
