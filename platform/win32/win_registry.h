#pragma once
#include "core/registry_api.h"

namespace quellbox::win32 {

class WinRegistry : public RegistryApi {
 public:
  std::optional<RegData> QueryValue(std::uint32_t root, const std::string& section,
                                    const std::string& name) override;
  RegStatus SetValue(std::uint32_t root, const std::string& section, const std::string& name,
                     const RegData& data) override;
  RegStatus DeleteValue(std::uint32_t root, const std::string& section,
                        const std::string& name) override;
  std::string ExpandEnvironment(const std::string& text) override;
};

}  // namespace quellbox::win32
