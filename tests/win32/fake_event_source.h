#pragma once
// An in-process event source: one connection point that calls its sink's Invoke the way the
// browser and the shell do.
#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "platform/win32/com.h"

namespace quellbox::win32::testing {

class FakeEventSource : public IConnectionPointContainer, public IConnectionPoint {
 public:
  explicit FakeEventSource(REFIID events) : events_(events) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPointContainer))
      *out = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(riid, IID_IConnectionPoint))
      *out = static_cast<IConnectionPoint*>(this);
    else
      return *out = nullptr, E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // owned by the test
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override {
    if (!IsEqualIID(riid, events_)) return *out = nullptr, CONNECT_E_NOCONNECTION;
    *out = this;
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override { return *iid = events_, S_OK; }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
    *out = this;
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(sink_.put()))))
      return CONNECT_E_CANNOTCONNECT;
    ++advised;
    *cookie = 7;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    if (cookie != 7 || !sink_) return CONNECT_E_NOCONNECTION;
    sink_ = nullptr;
    ++unadvised;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

  // Calls the sink with the event's arguments given first to last.
  HRESULT Fire(DISPID id, std::vector<VARIANT> args, VARIANT* result = nullptr,
               REFIID riid = IID_NULL) {
    if (!sink_) return E_FAIL;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return sink_->Invoke(id, riid, 0, DISPATCH_METHOD, &params, result, nullptr, nullptr);
  }
  bool Connected() const { return static_cast<bool>(sink_); }

  int advised = 0, unadvised = 0;

 private:
  IID events_;
  ULONG refs_ = 1;
  ComPtr<IDispatch> sink_;
};

}  // namespace quellbox::win32::testing
