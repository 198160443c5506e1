#include "platform/win32/win_registry.h"

#include "platform/win32/com.h"
#include "platform/win32/failures.h"
#include "platform/win32/handles.h"

#include <string>

namespace quellbox::win32 {
namespace {

HKEY Root(std::uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

// Text values are UTF-16 in the registry and UTF-8 in the engine; other data passes as it is.
bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

std::optional<RegData> WinRegistry::QueryValue(std::uint32_t root, const std::string& section,
                                               const std::string& name) {
  UniqueHkey key;
  // A key or value that is not there is an answer, not a failure.
  if (LOG_IF_FAILED(Win32Error{RegOpenKeyExW(Root(root), Wide(section).c_str(), 0, KEY_QUERY_VALUE, key.put()),
                               ERROR_FILE_NOT_FOUND}) != S_OK)
    return std::nullopt;
  std::wstring value = Wide(name);
  // The value may change between asking for its size and reading it: ask again when it grew.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0, size = 0;
    if (LOG_IF_FAILED(Win32Error{RegQueryValueExW(key.get(), value.c_str(), nullptr, &type, nullptr, &size),
                                 ERROR_FILE_NOT_FOUND}) != S_OK)
      return std::nullopt;
    std::string bytes(size, '\0');
    HRESULT hr = LOG_IF_FAILED(Win32Error{RegQueryValueExW(key.get(), value.c_str(), nullptr, &type,
                                                           reinterpret_cast<BYTE*>(bytes.data()), &size),
                                          ERROR_MORE_DATA});
    if (hr == HRESULT_FROM_WIN32(ERROR_MORE_DATA)) continue;
    if (hr != S_OK) return std::nullopt;
    bytes.resize(size);
    if (IsText(type)) bytes = Narrow(reinterpret_cast<const wchar_t*>(bytes.data()), size / sizeof(wchar_t));
    return RegData{type, std::move(bytes)};
  }
  return std::nullopt;
}

RegStatus WinRegistry::SetValue(std::uint32_t root, const std::string& section,
                                const std::string& name, const RegData& data) {
  UniqueHkey key;
  if (FAILED(LOG_IF_FAILED(Win32Error{RegCreateKeyExW(Root(root), Wide(section).c_str(), 0, nullptr,
                                                       REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                                                       key.put(), nullptr)})))
    return RegStatus::KeyFailed;
  std::wstring text = IsText(data.type) ? Wide(data.bytes) : std::wstring();
  auto bytes = IsText(data.type) ? std::string_view(reinterpret_cast<const char*>(text.data()), text.size() * 2)
                                 : std::string_view(data.bytes);
  HRESULT hr = LOG_IF_FAILED(Win32Error{RegSetValueExW(key.get(), Wide(name).c_str(), 0, data.type,
                                                       reinterpret_cast<const BYTE*>(bytes.data()),
                                                       static_cast<DWORD>(bytes.size()))});
  return SUCCEEDED(hr) ? RegStatus::Ok : RegStatus::ValueFailed;
}

RegStatus WinRegistry::DeleteValue(std::uint32_t root, const std::string& section,
                                   const std::string& name) {
  UniqueHkey key;
  if (LOG_IF_FAILED(Win32Error{RegOpenKeyExW(Root(root), Wide(section).c_str(), 0, KEY_READ | KEY_WRITE, key.put()),
                               ERROR_FILE_NOT_FOUND}) != S_OK)
    return RegStatus::KeyFailed;
  HRESULT hr = LOG_IF_FAILED(Win32Error{RegDeleteValueW(key.get(), Wide(name).c_str()), ERROR_FILE_NOT_FOUND});
  return hr == S_OK ? RegStatus::Ok : RegStatus::ValueFailed;
}

std::string WinRegistry::ExpandEnvironment(const std::string& text) {
  std::wstring in = Wide(text), out(in.size() + 1, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD needed = ExpandEnvironmentStringsW(in.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (needed == 0) return text;
    if (needed <= out.size()) return Narrow(out.c_str(), std::char_traits<wchar_t>::length(out.c_str()));
    out.resize(needed);
  }
  return text;
}

}  // namespace quellbox::win32
