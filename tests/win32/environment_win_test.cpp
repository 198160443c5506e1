#include "platform/win32/win_environment.h"

#include <gtest/gtest.h>

#include "platform/win32/handles.h"

namespace quellbox::win32 {
namespace {

// The program directory, the single-instance claim and version resources are shown by the Wine
// tests of Quellbox.exe and the scenarios of browsers of several versions.
TEST(WinEnvironment, DoEventsRunsPendingMessagesAndKeepsAQuitForTheMainLoop) {
  static int seen = 0;
  WNDCLASSA wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_APP) ++seen;
    return DefWindowProcA(h, m, w, l);
  };
  wc.lpszClassName = "QuellboxDoEventsTest";
  RegisterClassA(&wc);
  UniqueWindow window(CreateWindowA("QuellboxDoEventsTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);
  PostMessageA(window.get(), WM_APP, 0, 0);
  PostQuitMessage(3);
  WinEnvironment env;
  env.DoEvents();
  EXPECT_EQ(seen, 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
}  // namespace quellbox::win32
