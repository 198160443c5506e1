#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>

#include "core/environment.h"

namespace quellbox::sim {

class SimEnvironment : public Environment {
 public:
  SimEnvironment(std::string programDirectory, std::string exeBaseName = "Quellbox");

  std::string ProgramDirectory() override { return programDirectory_; }
  std::string ExeBaseName() override { return exeBaseName_; }
  std::string PathInProgramDirectory(const std::string& fileName) override;
  void DoEvents() override {}
  std::uint16_t UserDefaultLangId() override { return userLangId; }
  std::uint16_t SystemDefaultLangId() override { return systemLangId; }
  std::optional<int> ProgramMajorVersion(const std::string& path) override;

  std::map<std::string, int> programVersions;  // by path
  std::uint16_t userLangId = 0x0409, systemLangId = 0x0409;

 private:
  std::string programDirectory_;
  std::string exeBaseName_;
};

// Stands for the system's table of named objects: locks made from one table see each other,
// the way two processes of one session do.
class SimInstanceTable {
 public:
  std::set<std::string> claimed;
};

class SimInstanceLock : public InstanceLock {
 public:
  explicit SimInstanceLock(std::shared_ptr<SimInstanceTable> table);
  ~SimInstanceLock() override;
  bool ClaimSingleInstance(const std::string& name) override;

 private:
  std::shared_ptr<SimInstanceTable> table_;
  std::string held_;
};

}  // namespace quellbox::sim
