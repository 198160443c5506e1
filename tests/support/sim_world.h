#pragma once
// A program directory of the test's own and the simulated ports around it.
#include <memory>
#include <string>

#include "core/services.h"
#include "core/settings.h"
#include "core/text_file.h"
#include "platform/sim/sim_ui.h"

namespace quellbox::testing {

using sim::TempDir;

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
