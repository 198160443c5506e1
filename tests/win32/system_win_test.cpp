#include "platform/win32/win_system.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "core/browser_start.h"
#include "core/text_file.h"
#include "platform/win32/win_browser.h"
#include "platform/win32/win_environment.h"
#include "platform/sim/sim_ui.h"
#include "platform/win32/win_registry.h"

namespace quellbox::win32 {
namespace {

using Clock = std::chrono::steady_clock;

TEST(WinClock, GivesTheShortDateAndTheTimeWithSeconds) {
  WinClock clock;
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_NE(clock.DateText().find(std::to_string(now.wYear)), std::string::npos) << clock.DateText();
  EXPECT_TRUE(std::regex_search(clock.TimeText(), std::regex("[0-9]{1,2}:[0-9]{2}:[0-9]{2}")))
      << clock.TimeText();
}

TEST(WinSound, AWaveFileIsPlayedWithoutWaiting) {
  // Three seconds of silence: played synchronously it would hold the caller that long.
  std::string wav = "RIFF" + std::string(4, '\0') + "WAVEfmt " + std::string("\x10\0\0\0\x01\0\x01\0", 8) +
                    std::string("\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0", 12) + "data" +
                    std::string("\xc0\x5d\0\0", 4) + std::string(24000, '\x80');
  std::uint32_t riffSize = static_cast<std::uint32_t>(wav.size() - 8);
  std::memcpy(wav.data() + 4, &riffSize, 4);
  std::string path = WinEnvironment().PathInProgramDirectory("silence-test.wav");
  ASSERT_TRUE(WriteWholeFile(path, wav));
  WinSound sound;
  auto start = Clock::now();
  sound.PlayWave(path);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));
  sound.PlayWave(path + ".missing");  // the system's own sound for a missing file, or nothing
  sndPlaySoundA(nullptr, 0);
  DeleteFileA(path.c_str());
}

// A beep sounds on a thread of its own: the caller (a browser's event handler, which the browser
// waits for) goes on at once, and a beep asked for while one sounds is merged into it.
UniqueHandle g_release;
int g_beeps;
bool g_releasedWhileSounding;
BOOL WINAPI SlowBeep(DWORD, DWORD) {
  ++g_beeps;
  g_releasedWhileSounding = WaitForSingleObject(g_release.get(), 10000) == WAIT_OBJECT_0;
  return TRUE;
}

TEST(WinSound, ABeepDoesNotHoldTheCallerAndOneAskedForWhileItSoundsIsMerged) {
  g_release.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  {
    WinSound sound(&SlowBeep);
    sound.Beep(50, 500);
    sound.Beep(50, 500);
    SetEvent(g_release.get());  // only reached while the first beep sounds if Beep returned at once
  }
  g_release.reset();
  EXPECT_TRUE(g_releasedWhileSounding);
  EXPECT_EQ(g_beeps, 1);
}

// Registers fake_browser.exe for .html files, and puts the previous association back afterwards.
class BrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    browser = env.PathInProgramDirectory("fake_browser.exe");
    out = env.PathInProgramDirectory("fake-browser-out.txt");
    DeleteFileA(out.c_str());
    SetEnvironmentVariableA("QUELLBOX_FAKE_BROWSER_OUT", out.c_str());
    std::string command = "\"" + browser + "\" \"%1\"";
    char previous[256] = {};
    DWORD size = sizeof previous;
    if (RegGetValueA(HKEY_CLASSES_ROOT, ".html", nullptr, RRF_RT_REG_SZ, nullptr, previous, &size) ==
        ERROR_SUCCESS)
      previousClass = previous;
    RegSetKeyValueA(HKEY_CLASSES_ROOT, ".html", nullptr, REG_SZ, "QuellboxTest.html", 18);
    RegSetKeyValueA(HKEY_CLASSES_ROOT, "QuellboxTest.html\\shell\\open\\command", nullptr, REG_SZ,
                    command.c_str(), static_cast<DWORD>(command.size() + 1));
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "QuellboxTest.html");
    RegSetKeyValueA(HKEY_CLASSES_ROOT, ".html", nullptr, REG_SZ, previousClass.c_str(),
                    static_cast<DWORD>(previousClass.size() + 1));
    DeleteFileA(out.c_str());
  }
  // What the fake browser wrote, once it has written it.
  std::vector<std::string> Recorded() {
    for (int i = 0; i < 100; ++i) {
      if (auto text = ReadWholeFile(out); text && text->find('\n') != std::string::npos) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::vector<std::string> lines;
        std::istringstream stream(*ReadWholeFile(out));
        for (std::string line; std::getline(stream, line);) lines.push_back(line);
        return lines;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
  }

  WinEnvironment env;
  WinRegistry registry;
  WinClock clock;
  WinSound sound;
  WinLauncher launcher;
  WinInput input;
  WinBrowserShell shell;
  sim::SimTray tray;
  sim::SimMenus menus;
  sim::SimHelp help;
  sim::SimMessages messages;
  sim::SimWindows windows;
  Services services{registry, env,  clock, sound,    launcher, input, shell,
                    tray,     menus, help,  messages, windows};
  std::string browser, out, previousClass;
};

TEST_F(BrowserTest, TheRegisteredProgramIsFoundThroughATemporaryFile) {
  long code = 0;
  std::string found = FindDefaultBrowser(services, code);
  EXPECT_GE(code, 32);
  EXPECT_EQ(lstrcmpiA(found.c_str(), browser.c_str()), 0) << found;
  EXPECT_EQ(GetFileAttributesA((GetTempDirectory(services) + "dummy.html").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

TEST_F(BrowserTest, AHostileAddressReachesTheBrowserAsOneArgument) {
  ASSERT_TRUE(OpenUrlInBrowser(services, "http://x.example/\" --evil \"y\\"));
  auto lines = Recorded();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], " \"http://x.example/%22 --evil %22y\\\\\"");
  EXPECT_EQ(lines[1], "2");
  EXPECT_EQ(lines[2], "http://x.example/%22 --evil %22y\\");
}

TEST_F(BrowserTest, AnApplicationThatDoesNotExistIsNotStarted) {
  EXPECT_FALSE(launcher.StartProcess(browser + ".missing", " \"http://a/\""));
}

}  // namespace
}  // namespace quellbox::win32
