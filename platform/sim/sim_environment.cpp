#include "platform/sim/sim_environment.h"

namespace quellbox::sim {

std::string SimEnvironment::PathInProgramDirectory(const std::string& fileName) {
  return programDirectory_ + "/" + fileName;
}

std::optional<int> SimEnvironment::ProgramMajorVersion(const std::string& path) {
  auto it = programVersions.find(path);
  if (it == programVersions.end()) return std::nullopt;
  return it->second;
}

SimInstanceLock::SimInstanceLock(std::shared_ptr<SimInstanceTable> table)
    : table_(std::move(table)) {}

SimInstanceLock::~SimInstanceLock() {
  if (!held_.empty()) table_->claimed.erase(held_);
}

bool SimInstanceLock::ClaimSingleInstance(const std::string& name) {
  if (!table_->claimed.insert(name).second) return false;
  held_ = name;
  return true;
}

}  // namespace quellbox::sim
