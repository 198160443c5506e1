#pragma once
// The registry as the engine sees it: whole-value operations on a key path, no handles.
#include <cstdint>
#include <optional>
#include <string>

namespace quellbox {

inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001u;

enum class RegType : std::uint32_t {
  None = 0,
  Sz = 1,
  ExpandSz = 2,
  Binary = 3,
  Dword = 4,
  MultiSz = 7,
  Qword = 11,
};

struct RegData {
  std::uint32_t type = 0;
  std::string bytes;  // as stored, terminating NULs included; text types in UTF-8
};

enum class RegStatus { Ok, KeyFailed, ValueFailed };

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  // Empty when the key cannot be opened or the value cannot be read.
  virtual std::optional<RegData> QueryValue(std::uint32_t root, const std::string& section,
                                            const std::string& name) = 0;
  // Creates the key when it does not exist (non-volatile).
  virtual RegStatus SetValue(std::uint32_t root, const std::string& section, const std::string& name,
                             const RegData& data) = 0;
  virtual RegStatus DeleteValue(std::uint32_t root, const std::string& section,
                                const std::string& name) = 0;
  virtual std::string ExpandEnvironment(const std::string& text) = 0;
};

}  // namespace quellbox
