#pragma once
// A program directory of the test's own and the simulated ports around it.
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "core/services.h"
#include "core/settings.h"
#include "core/text_file.h"
#include "platform/sim/sim_ui.h"

namespace quellbox::testing {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("quellbox-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

struct SimDirs {
  TempDir dir;   // the program directory
  TempDir temp;  // the system's temporary directory
};

struct SimWorld : SimDirs, sim::SimPorts {
  SimWorld() : SimPorts(dir.str(), temp.str() + "/") {}
  AppState state;

  std::string Section() { return SettingsSection(env); }
  std::string File(const std::string& name) { return env.PathInProgramDirectory(name); }
  void WriteFile(const std::string& name, const std::string& content) {
    WriteWholeFile(File(name), content);
  }
  std::optional<std::string> ReadFile(const std::string& name) { return ReadWholeFile(File(name)); }
  std::optional<std::string> Stored(const std::string& name) {
    return registry.GetText(Section(), name);
  }
  void Store(const std::string& name, const std::string& text) {
    registry.PutText(Section(), name, text);
  }
};

}  // namespace quellbox::testing
