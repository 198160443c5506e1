#pragma once
#include <windows.h>

#include <random>

#include "core/system_ports.h"
#include "platform/win32/handles.h"

namespace quellbox::win32 {

class WinClock : public Clock {
 public:
  WinClock();
  std::string DateText() override;
  std::string TimeText() override;
  double RandomFraction() override;

 private:
  std::mt19937 random_;
};

class WinSound : public Sound {
 public:
  using BeepFunction = BOOL(WINAPI*)(DWORD frequency, DWORD duration);
  explicit WinSound(BeepFunction beep = &::Beep) : beep_(beep) {}
  ~WinSound() override;  // waits for a beep that still sounds
  WinSound(const WinSound&) = delete;
  WinSound& operator=(const WinSound&) = delete;
  // ::Beep returns only when the beep ends, so it sounds on a thread of its own.
  void Beep(unsigned frequencyHz, unsigned durationMs) override;
  void PlayWave(const std::string& path) override;

 private:
  static DWORD WINAPI Sounding(void* self);
  BeepFunction beep_;
  DWORD frequency_ = 0, duration_ = 0;  // set only while no beep sounds
  UniqueHandle beeping_;
};

class WinLauncher : public Launcher {
 public:
  std::string TempPath() override;
  ExecutableLookup LookUpExecutable(const std::string& file, const std::string& directory) override;
  bool StartProcess(const std::string& application, const std::string& commandLine) override;
  bool ShellOpen(const std::string& target) override;
};

}  // namespace quellbox::win32
