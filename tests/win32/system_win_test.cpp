#include "platform/win32/win_system.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <cstring>
#include <regex>

#include "core/text_file.h"
#include "platform/win32/win_environment.h"

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

// Finding the registered browser and handing it an address as one argument are shown by the
// blocked pop-ups list's scenario through Quellbox.exe.
TEST(WinLauncher, AnApplicationThatDoesNotExistIsNotStarted) {
  WinEnvironment env;
  EXPECT_FALSE(WinLauncher().StartProcess(env.PathInProgramDirectory("missing.exe"), " \"http://a/\""));
}

}  // namespace
}  // namespace quellbox::win32
