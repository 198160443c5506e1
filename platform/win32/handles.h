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

using UniqueHkey = UniqueAny<HKEY, &::RegCloseKey>;
using UniqueHandle = UniqueAny<HANDLE, &::CloseHandle>;
using UniqueModule = UniqueAny<HMODULE, &::FreeLibrary>;
using UniqueIcon = UniqueAny<HICON, &::DestroyIcon>;

}  // namespace quellbox::win32
