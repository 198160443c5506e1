#include "platform/win32/win_environment.h"

#include <gtest/gtest.h>

namespace quellbox::win32 {
namespace {

TEST(WinEnvironment, NamesTheProgramDirectoryAndBaseNameOfThisExecutable) {
  WinEnvironment env;
  EXPECT_EQ(env.ExeBaseName(), "quellbox_win32_tests");
  std::string dir = env.ProgramDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), '\\');
  EXPECT_EQ(env.PathInProgramDirectory("trust.hosts"), dir + "\\trust.hosts");
  EXPECT_EQ(GetFileAttributesA((dir + "\\quellbox_win32_tests.exe").c_str()) ==
                INVALID_FILE_ATTRIBUTES,
            false);
}

TEST(WinEnvironment, OnlyTheFirstClaimOfANameSucceedsWhileItIsHeld) {
  std::string name = "QuellboxTest." + std::to_string(GetCurrentProcessId());
  {
    WinInstanceLock first;
    ASSERT_TRUE(first.ClaimSingleInstance(name));
    WinInstanceLock second;
    EXPECT_FALSE(second.ClaimSingleInstance(name));
  }
  WinInstanceLock again;
  EXPECT_TRUE(again.ClaimSingleInstance(name));
}

TEST(WinEnvironment, DoEventsRunsPendingMessagesAndKeepsAQuitForTheMainLoop) {
  static int seen = 0;
  WNDCLASSA wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_APP) ++seen;
    return DefWindowProcA(h, m, w, l);
  };
  wc.lpszClassName = "QuellboxDoEventsTest";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA("QuellboxDoEventsTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  PostMessageA(hwnd, WM_APP, 0, 0);
  PostQuitMessage(3);
  WinEnvironment env;
  env.DoEvents();
  EXPECT_EQ(seen, 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  DestroyWindow(hwnd);
}

}  // namespace
}  // namespace quellbox::win32

namespace quellbox::win32 {
namespace {

// The stand-in browsers built beside the tests carry the version their name says.
TEST(WinEnvironment, AProgramsMajorVersionComesFromItsVersionResource) {
  WinEnvironment env;
  EXPECT_EQ(env.ProgramMajorVersion(env.PathInProgramDirectory("iexplore9.exe")), 9);
  EXPECT_EQ(env.ProgramMajorVersion(env.PathInProgramDirectory("iexplore6.exe")), 6);
  EXPECT_EQ(env.ProgramMajorVersion(env.PathInProgramDirectory("no-such-program.exe")), std::nullopt);
}

}  // namespace
}  // namespace quellbox::win32
