#pragma once
// An in-memory registry: keys and value names compare without regard to case, as on Windows.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/registry_api.h"

namespace quellbox::sim {

class SimRegistry : public RegistryApi {
 public:
  std::optional<RegData> QueryValue(std::uint32_t root, const std::string& section,
                                    const std::string& name) override;
  RegStatus SetValue(std::uint32_t root, const std::string& section, const std::string& name,
                     const RegData& data) override;
  RegStatus DeleteValue(std::uint32_t root, const std::string& section,
                        const std::string& name) override;
  std::string ExpandEnvironment(const std::string& text) override;

  // Test controls.
  void Put(const std::string& section, const std::string& name, std::uint32_t type,
           const std::string& bytes, std::uint32_t root = kHkeyCurrentUser);
  void PutText(const std::string& section, const std::string& name, const std::string& text);
  std::optional<RegData> Get(const std::string& section, const std::string& name,
                             std::uint32_t root = kHkeyCurrentUser) const;
  // The stored text without its terminating NUL; empty optional when absent.
  std::optional<std::string> GetText(const std::string& section, const std::string& name) const;
  bool KeyExists(const std::string& section, std::uint32_t root = kHkeyCurrentUser) const;
  void DenyKey(const std::string& section);  // the key can be neither opened nor created
  // Every operation as "query|set|delete <section>\<name>", for order checks.
  std::vector<std::string> journal;

 private:
  struct Key {
    std::map<std::string, std::pair<std::string, RegData>> values;  // upper name -> (name, data)
  };
  static std::string KeyPath(std::uint32_t root, const std::string& section);
  void Note(const char* verb, const std::string& section, const std::string& name);

  std::map<std::string, Key> keys_;
  std::set<std::string> denied_;
};

}  // namespace quellbox::sim
