#pragma once
// What the engine needs to know about its own process.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quellbox {

class Environment {
 public:
  virtual ~Environment() = default;
  // The directory of the executable, without a trailing separator.
  virtual std::string ProgramDirectory() = 0;
  // The executable's file name without directory and extension ("Quellbox").
  virtual std::string ExeBaseName() = 0;
  // Directory + separator + file name, in the platform's form.
  virtual std::string PathInProgramDirectory(const std::string& fileName) = 0;
  // Lets pending window messages run once.
  virtual void DoEvents() = 0;
  virtual std::uint16_t UserDefaultLangId() = 0;
  virtual std::uint16_t SystemDefaultLangId() = 0;
  // The major version in the version resource of the program at `path`; none when unknown.
  virtual std::optional<int> ProgramMajorVersion(const std::string& path) = 0;
  // The program's text is UTF-8; its text files (url.log, trust.hosts, spyware.lst) keep the
  // 8-bit text of the system code page, which other programs read them in.
  virtual std::string FromCodePage(std::string_view stored) = 0;
  virtual std::string ToCodePage(std::string_view text) = 0;
};

class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // True when this process is now the only running instance; the claim lasts as long as the lock.
  virtual bool ClaimSingleInstance(const std::string& name) = 0;
};

}  // namespace quellbox
