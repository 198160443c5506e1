#pragma once
// COM ownership: one smart type per kind of COM resource, and text conversions.
#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <memory>
#include <optional>
#include <string_view>
#include <string>
#include <utility>

#include "core/browser.h"
#include "platform/win32/failures.h"

namespace quellbox::win32 {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes a reference of its own.
  explicit ComPtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~ComPtr() {
    if (p_) p_->Release();
  }
  // Adopts a reference that a call handed out.
  static ComPtr Adopt(T* p) {
    ComPtr c;
    c.p_ = p;
    return c;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** put() {
    *this = nullptr;
    return &p_;
  }
  // Hands the reference to a caller that takes it over (an [out] argument).
  T* Detach() { return std::exchange(p_, nullptr); }
  template <typename U>
  ComPtr<U> As() const {
    ComPtr<U> u;
    if (p_) p_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(u.put()));
    return u;
  }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::string& text);
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b_); }
  BSTR get() const { return b_; }
  BSTR* put() {
    SysFreeString(b_);
    b_ = nullptr;
    return &b_;
  }

 private:
  BSTR b_ = nullptr;
};

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }
  VARIANT* get() { return &v_; }
  const VARIANT& operator*() const { return v_; }
  VARIANT* put() {
    VariantClear(&v_);
    return &v_;
  }

 private:
  VARIANT v_;
};

// The errors a call gets when the object's process has gone (Explorer or the browser ended):
// the proxy is dead for good.
bool IsDisconnection(HRESULT hr);

// The program keeps its text in UTF-8 and gives Windows UTF-16: these are the one place where
// one becomes the other. `codePage` is for the stored files that keep the system code page.
std::string Narrow(const wchar_t* text, std::size_t length, UINT codePage = CP_UTF8);
std::string Narrow(BSTR text);
std::string Narrow(const std::wstring& text);
std::wstring Wide(std::string_view text, UINT codePage = CP_UTF8);

// The value behind a VARIANT, following VT_BYREF|VT_VARIANT; empty when it is no text and
// cannot be converted to one.
std::optional<std::string> VariantText(const VARIANT& v);
std::optional<std::int32_t> VariantInt(const VARIANT& v);  // VT_EMPTY reads as 0
std::optional<bool> VariantBool(const VARIANT& v);

// Connects `sink` to the `events` connection point of `source`; Unadvise when the token goes.
// Null when it cannot be connected; `error`, when given, receives the failing call's HRESULT.
std::unique_ptr<Subscription> ConnectEvents(IUnknown* source, REFIID events, IDispatch* sink,
                                            HRESULT* error = nullptr);

// The IUnknown and IDispatch plumbing of an event sink for one dispinterface; subclasses
// implement Dispatch, which sees arguments already checked for count.
class EventSinkBase : public IDispatch {
 public:
  explicit EventSinkBase(REFIID events) : events_(events) {}
  virtual ~EventSinkBase() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override;

 protected:
  // Called with params checked non-null; must not throw past Invoke (Invoke catches anyway).
  virtual HRESULT Dispatch(DISPID id, DISPPARAMS& params, VARIANT* result) = 0;

 private:
  IID events_;
  LONG refs_ = 1;
};

}  // namespace quellbox::win32
