#pragma once
// One value at a time in the registry: set where the value lives, then read or write Value.
#include <cstdint>
#include <optional>
#include <string>

#include "core/registry_api.h"

namespace quellbox {

struct RegistryError {
  int number = 26001;
  std::string source;
  std::string description;
};

class cRegistry {
 public:
  cRegistry(RegistryApi& api, std::string exeBaseName);

  std::uint32_t ValueType = static_cast<std::uint32_t>(RegType::Sz);  // replaced by a successful read
  std::uint32_t ClassKey = kHkeyCurrentUser;
  std::string SectionKey;
  std::string ValueKey;
  std::string Default;  // what Value() answers when the value cannot be read

  std::string Value();
  // Text containing "%...%" is stored as REG_EXPAND_SZ, anything else as REG_SZ.
  std::optional<RegistryError> SetValue(const std::string& text);
  // Empty on success.
  std::optional<RegistryError> DeleteValue();

 private:
  std::string RootText() const;
  RegistryError Error(std::string description) const;

  RegistryApi& api_;
  std::string exeBaseName_;
  std::string lastWritten_;
};

}  // namespace quellbox
