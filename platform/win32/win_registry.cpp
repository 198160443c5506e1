#include "platform/win32/win_registry.h"

#include "platform/win32/failures.h"
#include "platform/win32/handles.h"

#include <string>

namespace quellbox::win32 {
namespace {

HKEY Root(std::uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

}  // namespace

std::optional<RegData> WinRegistry::QueryValue(std::uint32_t root, const std::string& section,
                                               const std::string& name) {
  UniqueHkey key;
  // A key or value that is not there is an answer, not a failure.
  if (LOG_IF_FAILED(Win32Error{RegOpenKeyExA(Root(root), section.c_str(), 0, KEY_QUERY_VALUE, key.put()),
                               ERROR_FILE_NOT_FOUND}) != S_OK)
    return std::nullopt;
  // The value may change between asking for its size and reading it: ask again when it grew.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0, size = 0;
    if (LOG_IF_FAILED(Win32Error{RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size),
                                 ERROR_FILE_NOT_FOUND}) != S_OK)
      return std::nullopt;
    RegData data;
    data.bytes.resize(size);
    HRESULT hr = LOG_IF_FAILED(Win32Error{RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                                           reinterpret_cast<BYTE*>(data.bytes.data()), &size),
                                          ERROR_MORE_DATA});
    if (hr == HRESULT_FROM_WIN32(ERROR_MORE_DATA)) continue;
    if (hr != S_OK) return std::nullopt;
    data.bytes.resize(size);
    data.type = type;
    return data;
  }
  return std::nullopt;
}

RegStatus WinRegistry::SetValue(std::uint32_t root, const std::string& section,
                                const std::string& name, const RegData& data) {
  UniqueHkey key;
  if (FAILED(LOG_IF_FAILED(Win32Error{RegCreateKeyExA(Root(root), section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                       KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr)})))
    return RegStatus::KeyFailed;
  HRESULT hr = LOG_IF_FAILED(Win32Error{RegSetValueExA(key.get(), name.c_str(), 0, data.type,
                                                       reinterpret_cast<const BYTE*>(data.bytes.data()),
                                                       static_cast<DWORD>(data.bytes.size()))});
  return SUCCEEDED(hr) ? RegStatus::Ok : RegStatus::ValueFailed;
}

RegStatus WinRegistry::DeleteValue(std::uint32_t root, const std::string& section,
                                   const std::string& name) {
  UniqueHkey key;
  if (LOG_IF_FAILED(Win32Error{RegOpenKeyExA(Root(root), section.c_str(), 0, KEY_READ | KEY_WRITE, key.put()),
                               ERROR_FILE_NOT_FOUND}) != S_OK)
    return RegStatus::KeyFailed;
  HRESULT hr = LOG_IF_FAILED(Win32Error{RegDeleteValueA(key.get(), name.c_str()), ERROR_FILE_NOT_FOUND});
  return hr == S_OK ? RegStatus::Ok : RegStatus::ValueFailed;
}

std::string WinRegistry::ExpandEnvironment(const std::string& text) {
  std::string out(text.size() + 1, '\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD needed = ExpandEnvironmentStringsA(text.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (needed == 0) return text;
    if (needed <= out.size()) {
      out.resize(std::char_traits<char>::length(out.c_str()));
      return out;
    }
    out.resize(needed);
  }
  return text;
}

}  // namespace quellbox::win32
