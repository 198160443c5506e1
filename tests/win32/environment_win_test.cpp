#include "platform/win32/win_environment.h"

#include <gtest/gtest.h>

#include "platform/win32/handles.h"

namespace quellbox::win32 {
namespace {

// The program directory, the single-instance claim and version resources are shown by the Wine
// tests of Quellbox.exe and the scenarios of browsers of several versions.
TEST(WinEnvironment, DoEventsRunsPendingMessagesPastTheDialogsAndKeepsAQuitForTheMainLoop) {
  static int seen = 0;
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_APP) ++seen;
    return DefWindowProcW(h, m, w, l);
  };
  wc.lpszClassName = L"QuellboxDoEventsTest";
  RegisterClassW(&wc);
  UniqueWindow window(CreateWindowW(L"QuellboxDoEventsTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);
  PostMessageW(window.get(), WM_APP, 0, 0);
  PostMessageW(window.get(), WM_APP, 1, 0);
  PostQuitMessage(3);
  WinEnvironment env;
  env.preTranslate = [](MSG& msg) { return msg.message == WM_APP && msg.wParam == 1; };  // a dialog's key
  env.DoEvents();
  EXPECT_EQ(seen, 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
}  // namespace quellbox::win32
