#pragma once
// One owner type per kind of handle: nothing in platform/win32 closes a handle by hand.
#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace quellbox::win32 {

template <typename T, auto Close, T Invalid = T{}>
class UniqueAny {
 public:
  UniqueAny() = default;
  explicit UniqueAny(T value) : value_(value) {}
  UniqueAny(UniqueAny&& other) noexcept : value_(std::exchange(other.value_, Invalid)) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(std::exchange(other.value_, Invalid));
    return *this;
  }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  ~UniqueAny() { reset(); }

  T get() const { return value_; }
  T* put() {
    reset();
    return &value_;
  }
  explicit operator bool() const { return value_ != Invalid; }
  void reset(T value = Invalid) {
    if (value_ != Invalid) Close(value_);
    value_ = value;
  }
  T release() { return std::exchange(value_, Invalid); }

 private:
  T value_ = Invalid;
};

template <typename Gdi>
BOOL WINAPI DeleteGdiObject(Gdi object) {
  return ::DeleteObject(object);
}
// Waits for a callback that is running: its owner may be going away.
inline BOOL WINAPI DeleteQueueTimer(HANDLE timer) { return ::DeleteTimerQueueTimer(nullptr, timer, INVALID_HANDLE_VALUE); }

using UniqueHkey = UniqueAny<HKEY, &::RegCloseKey>;
using UniqueHandle = UniqueAny<HANDLE, &::CloseHandle>;
using UniqueModule = UniqueAny<HMODULE, &::FreeLibrary>;
using UniqueIcon = UniqueAny<HICON, &::DestroyIcon>;
using UniqueMenu = UniqueAny<HMENU, &::DestroyMenu>;
using UniqueBrush = UniqueAny<HBRUSH, &DeleteGdiObject<HBRUSH>>;
using UniqueWindow = UniqueAny<HWND, &::DestroyWindow>;
using UniqueQueueTimer = UniqueAny<HANDLE, &DeleteQueueTimer>;

// A window's device context, released to that window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace quellbox::win32
