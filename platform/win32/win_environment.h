#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "core/environment.h"
#include "platform/win32/handles.h"

namespace quellbox::win32 {

// The full path of this executable, however long.
std::string ModulePath();

class WinEnvironment : public Environment {
 public:
  WinEnvironment();
  std::string ProgramDirectory() override { return directory_; }
  std::string ExeBaseName() override { return baseName_; }
  std::string PathInProgramDirectory(const std::string& fileName) override;
  void DoEvents() override;
  std::uint16_t UserDefaultLangId() override { return GetUserDefaultLangID(); }
  std::uint16_t SystemDefaultLangId() override { return GetSystemDefaultLangID(); }
  std::optional<int> ProgramMajorVersion(const std::string& path) override;
  std::string FromCodePage(std::string_view stored) override;
  std::string ToCodePage(std::string_view text) override;
  // Offered every message DoEvents pumps first; true when it was handled (a dialog's keys).
  std::function<bool(MSG&)> preTranslate;

 private:
  std::string directory_;
  std::string baseName_;
  std::map<std::string, std::optional<int>> versions_;  // a program's file is read once
};

// A named mutex in the session's namespace.
class WinInstanceLock : public InstanceLock {
 public:
  bool ClaimSingleInstance(const std::string& name) override;

 private:
  UniqueHandle mutex_;
};

}  // namespace quellbox::win32
