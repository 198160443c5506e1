#include "core/registry.h"

#include <cstring>

namespace quellbox {
namespace {

std::string UpToNul(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

bool LooksExpandable(const std::string& text) {
  auto first = text.find('%');
  return first != std::string::npos && text.find('%', first + 2) != std::string::npos;
}

template <typename Int>
std::optional<std::string> LittleEndianDecimal(const std::string& bytes) {
  if (bytes.size() != sizeof(Int)) return std::nullopt;
  Int value;
  std::memcpy(&value, bytes.data(), sizeof value);  // Windows and our hosts are little-endian
  return std::to_string(value);
}

}  // namespace

cRegistry::cRegistry(RegistryApi& api, std::string exeBaseName)
    : api_(api), exeBaseName_(std::move(exeBaseName)) {}

std::string cRegistry::Value() {
  auto data = api_.QueryValue(ClassKey, SectionKey, ValueKey);
  if (!data) return Default;
  std::optional<std::string> text;
  switch (static_cast<RegType>(data->type)) {
    case RegType::Sz:
      text = UpToNul(data->bytes);
      break;
    case RegType::ExpandSz:
      text = api_.ExpandEnvironment(UpToNul(data->bytes));
      break;
    case RegType::MultiSz: {
      std::string s = data->bytes;
      while (!s.empty() && s.back() == '\0') s.pop_back();
      text = s;
      break;
    }
    case RegType::Dword:
      text = LittleEndianDecimal<std::uint32_t>(data->bytes);
      break;
    case RegType::Qword:
      text = LittleEndianDecimal<std::uint64_t>(data->bytes);
      break;
    default:
      break;  // binary and unknown types hold no text we could use
  }
  if (!text) return Default;
  ValueType = data->type;
  return *text;
}

std::optional<RegistryError> cRegistry::SetValue(const std::string& text) {
  RegData data;
  data.type = static_cast<std::uint32_t>(LooksExpandable(text) ? RegType::ExpandSz : RegType::Sz);
  data.bytes = text;
  data.bytes.push_back('\0');
  RegStatus status = api_.SetValue(ClassKey, SectionKey, ValueKey, data);
  if (status == RegStatus::KeyFailed)
    return Error("Failed to set registry value Key: '" + RootText() +
                 "',Section: '" + SectionKey + "',Key: '" + ValueKey + "' to value: '" +
                 lastWritten_ + "'");
  if (status == RegStatus::Ok) lastWritten_ = text;
  return std::nullopt;
}

std::optional<RegistryError> cRegistry::DeleteValue() {
  switch (api_.DeleteValue(ClassKey, SectionKey, ValueKey)) {
    case RegStatus::Ok:
      return std::nullopt;
    case RegStatus::KeyFailed:
      return Error("Failed to open key '" + RootText() + "',Section: '" + SectionKey +
                   "' for delete access");
    case RegStatus::ValueFailed:
      break;
  }
  return Error("Failed to delete registry Key: '" + RootText() + "',Section: '" +
               SectionKey + "',Key: '" + ValueKey);
}

// The root is shown as the signed 32-bit number it is in the key's handle value.
std::string cRegistry::RootText() const {
  return std::to_string(static_cast<std::int32_t>(ClassKey));
}

RegistryError cRegistry::Error(std::string description) const {
  return RegistryError{26001, exeBaseName_ + ".cRegistry", std::move(description)};
}

}  // namespace quellbox
