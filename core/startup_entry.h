#pragma once
// Start with Windows (the per-user Run entry) and the distributor code from version.txt.
#include <optional>

#include "core/registry.h"
#include "core/settings.h"

namespace quellbox {

inline constexpr const char* kRunSection = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Writes <base name> = <program dir>\<base name>.exe; the error when the Run key cannot be opened.
std::optional<RegistryError> RegisterStartup(Services& services);
void UnregisterStartup(Services& services);
// Moves the whole content of version.txt into Affiliate and deletes the file.
void ReadAffiliateFile(Services& services, Settings& settings);

}  // namespace quellbox
