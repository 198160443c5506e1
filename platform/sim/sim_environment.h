#pragma once
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "core/environment.h"

namespace quellbox::sim {

// A directory of its own under the system's temporary directory, removed with all it holds.
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

class SimEnvironment : public Environment {
 public:
  explicit SimEnvironment(std::string programDirectory) : programDirectory_(std::move(programDirectory)) {}

  std::string ProgramDirectory() override { return programDirectory_; }
  std::string ExeBaseName() override { return "Quellbox"; }
  std::string PathInProgramDirectory(const std::string& fileName) override;
  void DoEvents() override {}
  std::uint16_t UserDefaultLangId() override { return userLangId; }
  std::uint16_t SystemDefaultLangId() override { return systemLangId; }
  std::optional<int> ProgramMajorVersion(const std::string& path) override;
  // As if the system code page were ISO 8859-1: what it cannot spell becomes "?", as on Windows.
  std::string FromCodePage(std::string_view stored) override;
  std::string ToCodePage(std::string_view text) override;

  std::map<std::string, int> programVersions;  // by path
  std::uint16_t userLangId = 0x0409, systemLangId = 0x0409;

 private:
  std::string programDirectory_;
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
