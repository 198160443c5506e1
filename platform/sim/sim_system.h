#pragma once
// Recorded stand-ins for the clock, the sound card and the process launcher.
#include <string>
#include <vector>

#include "core/system_ports.h"

namespace quellbox::sim {

class SimClock : public Clock {
 public:
  std::string DateText() override { return date; }
  std::string TimeText() override { return time; }
  double RandomFraction() override;

  std::string date = "12/5/2026";
  std::string time = "1:05:09 PM";
  std::vector<double> randoms;  // handed out in order; then a fixed sequence of its own
  int randomCalls = 0;
};

class SimSound : public Sound {
 public:
  void Beep(unsigned frequencyHz, unsigned durationMs) override;
  void PlayWave(const std::string& path) override;

  std::vector<std::string> played;  // "beep 50 500" or "wave <path>"
};

class SimLauncher : public Launcher {
 public:
  explicit SimLauncher(std::string temp) : tempPath(std::move(temp)) {}
  std::string TempPath() override { return tempPath; }
  ExecutableLookup LookUpExecutable(const std::string& file, const std::string& directory) override;
  bool StartProcess(const std::string& application, const std::string& commandLine) override;
  bool ShellOpen(const std::string& target) override;

  std::string tempPath;
  std::string browser = "C:\\Program Files\\Internet Explorer\\iexplore.exe";  // empty: none
  bool processStarts = true;
  struct Process {
    std::string application, commandLine;
  };
  std::vector<Process> started;
  std::vector<std::string> shellOpened;
};

}  // namespace quellbox::sim
