#pragma once
#include <random>

#include "core/system_ports.h"

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
  void Beep(unsigned frequencyHz, unsigned durationMs) override;
  void PlayWave(const std::string& path) override;
};

class WinLauncher : public Launcher {
 public:
  std::string TempPath() override;
  ExecutableLookup LookUpExecutable(const std::string& file, const std::string& directory) override;
  bool StartProcess(const std::string& application, const std::string& commandLine) override;
  bool ShellOpen(const std::string& target) override;
};

}  // namespace quellbox::win32
