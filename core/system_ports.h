#pragma once
// Clock, sound and process start as the services need them.
#include <string>

namespace quellbox {

class Clock {
 public:
  virtual ~Clock() = default;
  // Now, in the user's short date form and long time form with seconds.
  virtual std::string DateText() = 0;
  virtual std::string TimeText() = 0;
  // A random fraction in [0, 1) from a generator seeded by the clock.
  virtual double RandomFraction() = 0;
};

class Sound {
 public:
  virtual ~Sound() = default;
  // Starts the beep and returns at once: it is sounded inside a browser's event, which the
  // browser waits for. A beep asked for while one sounds is merged into it.
  virtual void Beep(unsigned frequencyHz, unsigned durationMs) = 0;
  // Starts playing and returns at once; a missing or unplayable file plays nothing.
  virtual void PlayWave(const std::string& path) = 0;
};

struct ExecutableLookup {
  long code = 0;  // the shell's result: 32 or more means found
  std::string path;
};

class Launcher {
 public:
  virtual ~Launcher() = default;
  // The system's temporary directory as the system reports it, normally with a trailing separator.
  virtual std::string TempPath() = 0;
  // The program registered to open `file` in `directory` (the file must exist).
  virtual ExecutableLookup LookUpExecutable(const std::string& file, const std::string& directory) = 0;
  // Starts `application` with `commandLine`, normally shown; true when a process was created.
  virtual bool StartProcess(const std::string& application, const std::string& commandLine) = 0;
  // The shell's "open" verb on `target`; true on success.
  virtual bool ShellOpen(const std::string& target) = 0;
};

}  // namespace quellbox
