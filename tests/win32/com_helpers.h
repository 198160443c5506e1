#pragma once
// Small pieces every hand-written test COM object needs: a reference count that deletes
// on the last Release, QueryInterface answers, and the VARIANTs events are fired with.
#include <windows.h>
#include <oleauto.h>

#include <initializer_list>

namespace quellbox::win32::testing {

// A COM object of the interfaces `Is`, with one reference count that deletes it on the last
// Release; the class answers QueryInterface, with Answer.
template <typename... Is>
class ComObject : public Is... {
 public:
  virtual ~ComObject() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }

 private:
  ULONG refs_ = 1;
};

inline HRESULT Give(void** out, IUnknown* p) {
  *out = p;
  p->AddRef();
  return S_OK;
}

// `p` when `riid` is one of `iids`; else no interface.
inline HRESULT Answer(REFIID riid, void** out, IUnknown* p, std::initializer_list<IID> iids) {
  for (const IID& iid : iids)
    if (IsEqualIID(riid, iid)) return Give(out, p);
  *out = nullptr;
  return E_NOINTERFACE;
}

inline VARIANT ByRefVariant(VARIANT* inner) {
  VARIANT v;
  V_VT(&v) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&v) = inner;
  return v;
}

inline VARIANT ByRefBool(VARIANT_BOOL* b) {
  VARIANT v;
  V_VT(&v) = VT_BYREF | VT_BOOL;
  V_BOOLREF(&v) = b;
  return v;
}

inline VARIANT I4Variant(LONG n) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = n;
  return v;
}

inline VARIANT BoolVariant(bool b) {
  VARIANT v;
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

// An IDispatch (or a dual interface) without type information: only Invoke is its own.
template <typename Interface = IDispatch>
class NoTypeInfo : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};

inline VARIANT DispatchVariant(IDispatch* d) {
  VARIANT v;
  V_VT(&v) = VT_DISPATCH;
  V_DISPATCH(&v) = d;
  return v;
}

}  // namespace quellbox::win32::testing
