#include "platform/win32/com.h"

#include "platform/win32/handles.h"

namespace quellbox::win32 {
namespace {

class ConnectionToken : public Subscription {
 public:
  ConnectionToken(ComPtr<IConnectionPoint> point, DWORD cookie) : point_(std::move(point)), cookie_(cookie) {}
  ~ConnectionToken() override { point_->Unadvise(cookie_); }

 private:
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_;
};

const VARIANT& Deref(const VARIANT& v) {
  if (V_VT(&v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&v)) return *V_VARIANTREF(&v);
  return v;
}

bool Convert(const VARIANT& v, VARTYPE type, Variant& out) {
  return SUCCEEDED(VariantChangeType(out.put(), const_cast<VARIANT*>(&Deref(v)), 0, type));
}

}  // namespace

bool IsDisconnection(HRESULT hr) {
  return hr == RPC_E_DISCONNECTED || hr == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
         hr == CO_E_OBJNOTCONNECTED || hr == RPC_E_SERVER_DIED || hr == RPC_E_SERVER_DIED_DNE ||
         hr == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) || hr == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE);
}

Bstr::Bstr(const std::string& text) {
  std::wstring wide = Wide(text);
  b_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string Narrow(const wchar_t* text, std::size_t length, UINT codePage) {
  if (!text || length == 0) return {};
  int n = WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), out.data(), n, nullptr, nullptr);
  return out;
}

std::string Narrow(BSTR text) { return Narrow(text, text ? SysStringLen(text) : 0); }
std::string Narrow(const std::wstring& text) { return Narrow(text.data(), text.size()); }

std::wstring Wide(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::optional<std::string> VariantText(const VARIANT& v) {
  const VARIANT& value = Deref(v);
  if (V_VT(&value) == VT_BSTR) return Narrow(V_BSTR(&value));
  Variant text;
  if (!Convert(value, VT_BSTR, text)) return std::nullopt;
  return Narrow(V_BSTR(text.get()));
}

std::optional<std::int32_t> VariantInt(const VARIANT& v) {
  const VARIANT& value = Deref(v);
  if (V_VT(&value) == VT_EMPTY) return 0;
  Variant number;
  if (!Convert(value, VT_I4, number)) return std::nullopt;
  return V_I4(number.get());
}

std::optional<bool> VariantBool(const VARIANT& v) {
  const VARIANT& value = Deref(v);
  if (V_VT(&value) == VT_BOOL) return V_BOOL(&value) != VARIANT_FALSE;
  if (V_VT(&value) == (VT_BYREF | VT_BOOL) && V_BOOLREF(&value)) return *V_BOOLREF(&value) != VARIANT_FALSE;
  Variant b;
  if (!Convert(value, VT_BOOL, b)) return std::nullopt;
  return V_BOOL(b.get()) != VARIANT_FALSE;
}

std::unique_ptr<Subscription> ConnectEvents(IUnknown* source, REFIID events, IDispatch* sink,
                                            HRESULT* error) {
  HRESULT ignored;
  HRESULT& hr = error ? *error : ignored;
  hr = E_POINTER;
  if (!source || !sink) return nullptr;
  ComPtr<IConnectionPointContainer> container;
  hr = LOG_IF_FAILED(source->QueryInterface(__uuidof(IConnectionPointContainer), reinterpret_cast<void**>(container.put())));
  if (FAILED(hr)) return nullptr;
  ComPtr<IConnectionPoint> point;
  hr = LOG_IF_FAILED(container->FindConnectionPoint(events, point.put()));
  if (FAILED(hr) || !point) return nullptr;
  DWORD cookie = 0;
  hr = LOG_IF_FAILED(point->Advise(sink, &cookie));
  if (FAILED(hr)) return nullptr;
  return std::make_unique<ConnectionToken>(std::move(point), cookie);
}

HRESULT EventSinkBase::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IDispatch)) || IsEqualIID(riid, events_)) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG EventSinkBase::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG EventSinkBase::Release() {
  LONG n = InterlockedDecrement(&refs_);
  if (n == 0) delete this;
  return static_cast<ULONG>(n);
}

HRESULT EventSinkBase::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

HRESULT EventSinkBase::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT EventSinkBase::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT EventSinkBase::Invoke(DISPID id, REFIID riid, LCID, WORD, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO*, UINT*) {
  if (!IsEqualIID(riid, GUID{})) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_INVALIDARG;
  ComPtr<EventSinkBase> self(this);  // a handler may drop the last outside reference
  try {
    return Dispatch(id, *params, result);
  } catch (...) {
    TraceCaught("an event handler");
    return S_OK;  // nothing thrown may reach the browser
  }
}

}  // namespace quellbox::win32
