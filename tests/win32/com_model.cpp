#include "win32/com_model.h"

#include <exdispid.h>
#include <mshtmdid.h>
#include <servprov.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <algorithm>

#include "win32/com_helpers.h"
#include "win32/com_stubs.h"
#include "win32/html_stubs.h"

namespace quellbox::win32::testing {

struct ComModel::Shared {
  template <typename Model, typename Wrapper>
  ComPtr<IDispatch> Wrap(std::map<const Model*, ComPtr<IDispatch>>& cache, const std::shared_ptr<Model>& model,
                         const std::shared_ptr<Shared>& self) {
    if (!model) return nullptr;
    auto& slot = cache[model.get()];
    if (!slot) slot = ComPtr<IDispatch>::Adopt(static_cast<IDispatch*>(new Wrapper(self, model)));
    return slot;
  }
  ComPtr<IDispatch> Browser(const std::shared_ptr<sim::SimBrowser>& b, const std::shared_ptr<Shared>& self);
  ComPtr<IDispatch> Document(const std::shared_ptr<sim::SimDocument>& d, const std::shared_ptr<Shared>& self);
  ComPtr<IDispatch> Window(const std::shared_ptr<sim::SimHtmlWindow>& w, const std::shared_ptr<Shared>& self);
  ComPtr<IDispatch> Element(const std::shared_ptr<sim::SimElement>& e, const std::shared_ptr<Shared>& self);

  // A browser's window as the system knows it: a hidden window of this process, made when its
  // handle is first asked for and destroyed when the model's window is gone, so that the
  // handle names a window exactly as long as a browser's would.
  HWND RealWindow(sim::SimBrowser& b);
  void Gone(const sim::SimBrowser& b);
  std::map<const sim::SimBrowser*, HWND> realWindows;
  bool showWindows = false;

  std::map<const sim::SimBrowser*, ComPtr<IDispatch>> browsers;
  std::map<const sim::SimDocument*, ComPtr<IDispatch>> documents;
  std::map<const sim::SimHtmlWindow*, ComPtr<IDispatch>> windows;
  std::map<const sim::SimElement*, ComPtr<IDispatch>> elements;
  std::vector<Connection> connections;
  DWORD nextCookie = 1;
  long calls = 0;
  std::shared_ptr<void> keepAlive;
};

namespace {

using Shared = ComModel::Shared;

HRESULT Text(const std::optional<std::string>& text, BSTR* out) {
  *out = nullptr;
  if (!text) return E_FAIL;
  std::wstring wide = Wide(*text);
  *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return S_OK;
}

HRESULT Flag(const std::optional<bool>& value, VARIANT_BOOL* out) {
  if (!value) return E_FAIL;
  *out = *value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

template <typename T, typename N>
HRESULT Number(const std::optional<T>& value, N* out) {
  if (!value) return E_FAIL;
  *out = static_cast<N>(*value);
  return S_OK;
}

// Answers a property that gives another model object: E_FAIL when the model has none.
template <typename Interface>
HRESULT Hand(const ComPtr<IDispatch>& object, REFIID riid, Interface** out) {
  *out = nullptr;
  return object ? object->QueryInterface(riid, reinterpret_cast<void**>(out)) : E_FAIL;
}

// A COM object over one model object, counting every call made on it.
template <typename Model, typename... Interfaces>
class ModelObject : public ComObject<Interfaces...> {
 public:
  ModelObject(std::shared_ptr<Shared> shared, std::shared_ptr<Model> model)
      : shared_(std::move(shared)), m_(std::move(model)) {}

 protected:
  void Count() { ++shared_->calls; }
  std::shared_ptr<Shared> shared_;
  std::shared_ptr<Model> m_;
};

// The application object: read as text (its default property) it gives the name.
class ComApplication final : public ComObject<NoTypeInfo<>> {
 public:
  explicit ComApplication(std::string name) : name_(std::move(name)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return Answer(riid, out, this, {IID_IUnknown, IID_IDispatch});
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (id != DISPID_VALUE || !result) return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    V_VT(result) = VT_BSTR;
    return Text(name_, &V_BSTR(result));
  }

 private:
  std::string name_;
};

// The tab's own window, from the browser's shell browser service.
class ComTabWindow final : public ModelObject<sim::SimBrowser, IOleWindow> {
 public:
  using ModelObject::ModelObject;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return Answer(riid, out, this, {IID_IUnknown, IID_IOleWindow});
  }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
    Count();
    auto hwnd = m_->Hwnd();
    if (!hwnd) return E_FAIL;
    *out = *hwnd ? shared_->RealWindow(*m_) : nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
};

}  // namespace

// Calls a sink's Invoke with the event's arguments given first to last.
HRESULT Fire(IDispatch* sink, DISPID id, std::vector<VARIANT> args, VARIANT* result) {
  std::reverse(args.begin(), args.end());
  DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
  return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

namespace {

// DWebBrowserEvents2 of a model window, sent to a connected sink.
class BrowserEvents final : public BrowserEventSink {
 public:
  BrowserEvents(std::shared_ptr<Shared> shared, ComPtr<IDispatch> sink, std::weak_ptr<sim::SimBrowser> window)
      : shared_(std::move(shared)), sink_(std::move(sink)), window_(std::move(window)) {}

  // With the browser's argument layout; only the address is known to the model.
  void BeforeNavigate2(const std::string& address, bool& cancel) override {
    Variant url, target, postData, headers;
    Set(url, address);
    VARIANT flags = I4Variant(0);
    Set(target, "");
    Set(headers, "");
    VARIANT_BOOL c = cancel ? VARIANT_TRUE : VARIANT_FALSE;
    auto pDisp = shared_->Browser(window_.lock(), shared_);
    Fire(sink_.get(), DISPID_BEFORENAVIGATE2,
         {DispatchVariant(pDisp.get()), ByRefVariant(url.get()), ByRefVariant(&flags), ByRefVariant(target.get()),
          ByRefVariant(postData.get()), ByRefVariant(headers.get()), ByRefBool(&c)});
    cancel = c != VARIANT_FALSE;
  }
  void CommandStateChange(std::int32_t command, bool enable) override {
    Fire(sink_.get(), DISPID_COMMANDSTATECHANGE, {I4Variant(command), BoolVariant(enable)});
  }
  void DocumentComplete(const std::shared_ptr<Browser>& frame, const std::string& url) override {
    Completed(DISPID_DOCUMENTCOMPLETE, frame, url);
  }
  void DownloadComplete() override { Fire(sink_.get(), DISPID_DOWNLOADCOMPLETE); }
  void NavigateComplete2(const std::string& url) override {
    Completed(DISPID_NAVIGATECOMPLETE2, window_.lock(), url);
  }
  void NewWindow2(bool& cancel) override {
    IDispatch* newWindow = nullptr;  // ppDisp: the browser may be told where to open it
    VARIANT_BOOL c = cancel ? VARIANT_TRUE : VARIANT_FALSE;
    VARIANT windowArg;
    V_VT(&windowArg) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&windowArg) = &newWindow;
    Fire(sink_.get(), DISPID_NEWWINDOW2, {windowArg, ByRefBool(&c)});
    if (newWindow) newWindow->Release();
    cancel = c != VARIANT_FALSE;
  }
  void NewWindow3(bool& cancel, std::uint32_t flags, const std::string& opener, const std::string& url) override {
    IDispatch* newWindow = nullptr;
    VARIANT_BOOL c = cancel ? VARIANT_TRUE : VARIANT_FALSE;
    VARIANT windowArg, flagsArg;
    V_VT(&windowArg) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&windowArg) = &newWindow;
    V_VT(&flagsArg) = VT_UI4;
    V_UI4(&flagsArg) = flags;
    Variant context, address;
    Set(context, opener);
    Set(address, url);
    Fire(sink_.get(), DISPID_NEWWINDOW3, {windowArg, ByRefBool(&c), flagsArg, *context.get(), *address.get()});
    if (newWindow) newWindow->Release();
    cancel = c != VARIANT_FALSE;
  }
  void OnQuit() override { Fire(sink_.get(), DISPID_ONQUIT); }

 private:
  static void Set(Variant& v, const std::string& text) {
    V_VT(v.get()) = VT_BSTR;
    Text(text, &V_BSTR(v.get()));
  }
  ComPtr<IDispatch> FrameOf(const std::shared_ptr<Browser>& frame) {
    return shared_->Browser(std::dynamic_pointer_cast<sim::SimBrowser>(frame), shared_);
  }
  void Completed(DISPID id, const std::shared_ptr<Browser>& frame, const std::string& address) {
    Variant url;
    Set(url, address);
    auto pDisp = FrameOf(frame);
    Fire(sink_.get(), id, {DispatchVariant(pDisp.get()), ByRefVariant(url.get())});
  }

  std::shared_ptr<Shared> shared_;
  ComPtr<IDispatch> sink_;
  std::weak_ptr<sim::SimBrowser> window_;  // pDisp of its own navigations
};

// HTMLDocumentEvents of a model document, sent to a connected sink; the sink's result answers.
class DocumentEvents final : public DocumentEventSink {
 public:
  explicit DocumentEvents(ComPtr<IDispatch> sink) : sink_(std::move(sink)) {}
  bool OnContextMenu() override { return Answer(DISPID_HTMLDOCUMENTEVENTS_ONCONTEXTMENU); }
  void OnMouseUp() override { Fire(sink_.get(), DISPID_HTMLDOCUMENTEVENTS_ONMOUSEUP); }
  bool OnClick() override { return Answer(DISPID_HTMLDOCUMENTEVENTS_ONCLICK); }

 private:
  bool Answer(DISPID id) {
    Variant result;
    Fire(sink_.get(), id, {}, result.get());
    return !(V_VT(result.get()) == VT_BOOL && V_BOOL(result.get()) == VARIANT_FALSE);
  }
  ComPtr<IDispatch> sink_;
};

// One connection point: Advise subscribes the sink to the model through `connect`, which
// returns what must be held for as long as the connection lasts.
class ConnectionPoint final : public ComObject<IConnectionPoint> {
 public:
  using Connect = std::function<std::shared_ptr<void>(ComPtr<IDispatch> sink, DWORD cookie)>;
  using Disconnect = std::function<void(DWORD cookie)>;
  ConnectionPoint(std::shared_ptr<Shared> shared, IID events, IConnectionPointContainer* container, Connect connect,
                  Disconnect disconnect = {})
      : shared_(std::move(shared)), events_(events), container_(container), connect_(std::move(connect)),
        disconnect_(std::move(disconnect)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return Answer(riid, out, this, {IID_IUnknown, IID_IConnectionPoint});
  }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override { return *iid = events_, S_OK; }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
    return Give(reinterpret_cast<void**>(out), container_.get());
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    ++shared_->calls;
    if (!sink || !cookie) return E_POINTER;
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.put()))))
      return CONNECT_E_CANNOTCONNECT;
    *cookie = shared_->nextCookie++;
    held_[*cookie] = connect_(std::move(dispatch), *cookie);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    ++shared_->calls;
    auto it = held_.find(cookie);
    if (it == held_.end()) return CONNECT_E_NOCONNECTION;
    auto held = std::move(it->second);  // released after the entry: the release may call out
    held_.erase(it);
    if (disconnect_) disconnect_(cookie);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

 private:
  std::shared_ptr<Shared> shared_;
  IID events_;
  ComPtr<IConnectionPointContainer> container_;
  Connect connect_;
  Disconnect disconnect_;
  std::map<DWORD, std::shared_ptr<void>> held_;
};

// A model subscription and the sink object it delivers to, kept together.
template <typename Sink>
std::shared_ptr<void> Hold(std::shared_ptr<Sink> sink, std::unique_ptr<Subscription> subscription) {
  struct Held {
    std::shared_ptr<Sink> sink;
    std::unique_ptr<Subscription> subscription;
  };
  return std::make_shared<Held>(Held{std::move(sink), std::move(subscription)});
}

// The key Quellbox's collection files a window's monitor under, read from the model without
// counting as a read: the handle, else the stored id of a window without a handle, else 0.
std::string KeyOf(const sim::SimBrowser& b) {
  if (b.hwnd && *b.hwnd != 0) return std::to_string(*b.hwnd);
  if (!b.hwnd || !b.propertiesReadable) return "0";
  auto it = b.properties.find("quellbox");
  return std::to_string(it == b.properties.end() ? 0 : it->second);
}

class ComBrowser final
    : public ModelObject<sim::SimBrowser, WebBrowser2Stub, IConnectionPointContainer, IServiceProvider> {
 public:
  using ModelObject::ModelObject;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IConnectionPointContainer)) return Give(out, static_cast<IConnectionPointContainer*>(this));
    if (IsEqualIID(riid, IID_IServiceProvider)) return Give(out, static_cast<IServiceProvider*>(this));
    return Answer(riid, out, static_cast<IWebBrowser2*>(this),
                  {IID_IUnknown, IID_IDispatch, IID_IWebBrowser2, IID_IWebBrowserApp, IID_IWebBrowser});
  }

  HRESULT STDMETHODCALLTYPE get_Application(IDispatch** out) override {
    Count();
    *out = nullptr;
    auto name = m_->Application();
    if (!name) return E_FAIL;
    *out = new ComApplication(*name);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_LocationName(BSTR* out) override { return Count(), Text(m_->LocationName(), out); }
  HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* out) override { return Count(), Text(m_->LocationURL(), out); }
  HRESULT STDMETHODCALLTYPE get_FullName(BSTR* out) override { return Count(), Text(m_->FullName(), out); }
  HRESULT STDMETHODCALLTYPE get_StatusBar(VARIANT_BOOL* out) override { return Count(), Flag(m_->StatusBar(), out); }
  HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* out) override { return Count(), Flag(m_->Visible(), out); }
  HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override {
    return Count(), m_->SetVisible(value != VARIANT_FALSE) ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* out) override {
    Count();
    auto hwnd = m_->Hwnd();
    if (!hwnd) return E_FAIL;
    *out = m_->frameHwnd ? static_cast<SHANDLE_PTR>(*m_->frameHwnd)
           : *hwnd       ? reinterpret_cast<SHANDLE_PTR>(shared_->RealWindow(*m_))
                         : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Width(LONG* out) override { return Count(), Number(m_->Width(), out); }
  HRESULT STDMETHODCALLTYPE get_Height(LONG* out) override { return Count(), Number(m_->Height(), out); }
  HRESULT STDMETHODCALLTYPE get_Document(IDispatch** out) override {
    Count();
    *out = nullptr;
    auto document = std::dynamic_pointer_cast<sim::SimDocument>(m_->Document());
    if (document) *out = shared_->Document(document, shared_).Detach();
    return S_OK;  // a window without an HTML document answers with nothing
  }
  HRESULT STDMETHODCALLTYPE GetProperty(BSTR name, VARIANT* value) override {
    Count();
    VariantInit(value);
    std::string property = Narrow(name);
    auto number = m_->GetProperty(property);
    if (!number) return E_FAIL;
    if (m_->properties.count(property)) *value = I4Variant(*number);  // an absent one reads as VT_EMPTY
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PutProperty(BSTR name, VARIANT value) override {
    Count();
    Variant number;
    if (FAILED(VariantChangeType(number.get(), &value, 0, VT_I4))) return DISP_E_TYPEMISMATCH;
    return m_->PutProperty(Narrow(name), V_I4(number.get())) ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE GoForward() override { return Count(), m_->GoForward() ? S_OK : E_FAIL; }
  HRESULT STDMETHODCALLTYPE ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) override {
    Count();
    // What the marshaller answers when the browser is in another process, here too.
    if (!in || !out) return HRESULT_FROM_WIN32(RPC_X_NULL_REF_POINTER);
    return m_->ExecWB(command, option) ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE Quit() override { return Count(), m_->Quit() ? S_OK : E_FAIL; }

  HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID riid, void** out) override {
    Count();
    *out = nullptr;
    if (!IsEqualGUID(service, SID_SShellBrowser) || !m_->tabService) return E_NOINTERFACE;
    auto tab = ComPtr<IOleWindow>::Adopt(new ComTabWindow(shared_, m_));
    return tab->QueryInterface(riid, out);
  }

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override {
    Count();
    *out = nullptr;
    if (!IsEqualIID(riid, DIID_DWebBrowserEvents2)) return CONNECT_E_NOCONNECTION;
    auto shared = shared_;
    auto browser = m_;
    auto connect = [shared, browser](ComPtr<IDispatch> sink, DWORD cookie) {
      shared->connections.push_back({browser.get(), KeyOf(*browser), cookie});
      auto events = std::make_shared<BrowserEvents>(shared, std::move(sink), browser);
      auto subscription = browser->Subscribe(events);
      return Hold(std::move(events), std::move(subscription));
    };
    auto disconnect = [shared](DWORD cookie) {
      std::erase_if(shared->connections, [&](const Connection& c) { return c.cookie == cookie; });
    };
    *out = new ConnectionPoint(shared_, DIID_DWebBrowserEvents2, this, connect, disconnect);
    return S_OK;
  }

 private:
  using Connection = ComModel::Connection;
};

class ComElement final : public ModelObject<sim::SimElement, HTMLElementStub> {
 public:
  using ModelObject::ModelObject;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return Answer(riid, out, this, {IID_IUnknown, IID_IDispatch, IID_IHTMLElement});
  }
  HRESULT STDMETHODCALLTYPE get_tagName(BSTR* out) override { return Count(), Text(m_->TagName(), out); }
  HRESULT STDMETHODCALLTYPE get_id(BSTR* out) override { return Count(), Text(m_->Id(), out); }
  HRESULT STDMETHODCALLTYPE toString(BSTR* out) override { return Count(), Text(m_->ToString(), out); }
  HRESULT STDMETHODCALLTYPE get_isTextEdit(VARIANT_BOOL* out) override { return Count(), Flag(m_->IsTextEdit(), out); }
};

// The event object of a window: what the window's event under way was raised on.
class ComEventObj final : public ModelObject<sim::SimHtmlWindow, HTMLEventObjStub> {
 public:
  using ModelObject::ModelObject;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return Answer(riid, out, this, {IID_IUnknown, IID_IDispatch, IID_IHTMLEventObj});
  }
  HRESULT STDMETHODCALLTYPE get_srcElement(IHTMLElement** out) override {
    Count();
    auto element = std::dynamic_pointer_cast<sim::SimElement>(m_->EventSourceElement());
    return Hand(shared_->Element(element, shared_), IID_IHTMLElement, out);
  }
};

class ComHtmlWindow final : public ModelObject<sim::SimHtmlWindow, HTMLWindow2Stub> {
 public:
  using ModelObject::ModelObject;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return Answer(riid, out, this, {IID_IUnknown, IID_IDispatch, IID_IHTMLWindow2, IID_IHTMLFramesCollection2});
  }
  HRESULT STDMETHODCALLTYPE get_event(IHTMLEventObj** out) override {
    Count();
    *out = new ComEventObj(shared_, m_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE resizeTo(LONG x, LONG y) override { return Count(), m_->ResizeTo(x, y) ? S_OK : E_FAIL; }
  HRESULT STDMETHODCALLTYPE moveTo(LONG x, LONG y) override { return Count(), m_->MoveTo(x, y) ? S_OK : E_FAIL; }
  HRESULT STDMETHODCALLTYPE get_document(IHTMLDocument2** out) override {
    Count();
    auto document = std::dynamic_pointer_cast<sim::SimDocument>(m_->Document());
    return Hand(shared_->Document(document, shared_), IID_IHTMLDocument2, out);
  }
};

class ComFrames final : public ModelObject<sim::SimDocument, NoTypeInfo<IHTMLFramesCollection2>> {
 public:
  using ModelObject::ModelObject;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return Answer(riid, out, this, {IID_IUnknown, IID_IDispatch, IID_IHTMLFramesCollection2});
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE item(VARIANT* index, VARIANT* result) override {
    Count();
    if (!index || !result) return E_POINTER;
    Variant i;
    if (FAILED(VariantChangeType(i.get(), index, 0, VT_I4))) return DISP_E_TYPEMISMATCH;
    auto frame = std::dynamic_pointer_cast<sim::SimHtmlWindow>(m_->Frame(V_I4(i.get())));
    if (!frame) return E_INVALIDARG;
    *result = DispatchVariant(shared_->Window(frame, shared_).Detach());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_length(LONG* out) override { return Count(), Number(m_->FrameCount(), out); }
};

class ComDocument final : public ModelObject<sim::SimDocument, HTMLDocument2Stub, IConnectionPointContainer> {
 public:
  using ModelObject::ModelObject;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IConnectionPointContainer)) return Give(out, static_cast<IConnectionPointContainer*>(this));
    return Answer(riid, out, static_cast<IHTMLDocument2*>(this),
                  {IID_IUnknown, IID_IDispatch, IID_IHTMLDocument, IID_IHTMLDocument2});
  }
  HRESULT STDMETHODCALLTYPE get_URL(BSTR* out) override { return Count(), Text(m_->Url(), out); }
  HRESULT STDMETHODCALLTYPE get_activeElement(IHTMLElement** out) override {
    Count();
    auto element = std::dynamic_pointer_cast<sim::SimElement>(m_->ActiveElement());
    return Hand(shared_->Element(element, shared_), IID_IHTMLElement, out);
  }
  HRESULT STDMETHODCALLTYPE get_parentWindow(IHTMLWindow2** out) override {
    Count();
    auto window = std::dynamic_pointer_cast<sim::SimHtmlWindow>(m_->ParentWindow());
    return Hand(shared_->Window(window, shared_), IID_IHTMLWindow2, out);
  }
  HRESULT STDMETHODCALLTYPE get_frames(IHTMLFramesCollection2** out) override {
    Count();
    *out = new ComFrames(shared_, m_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override {
    Count();
    *out = nullptr;
    if (!IsEqualIID(riid, __uuidof(HTMLDocumentEvents))) return CONNECT_E_NOCONNECTION;
    auto document = m_;
    auto connect = [document](ComPtr<IDispatch> sink, DWORD) {
      auto events = std::make_shared<DocumentEvents>(std::move(sink));
      auto subscription = document->Subscribe(events);
      return Hold(std::move(events), std::move(subscription));
    };
    *out = new ConnectionPoint(shared_, __uuidof(HTMLDocumentEvents), this, connect);
    return S_OK;
  }
};

bool SameObject(IUnknown* a, IUnknown* b) {
  ComPtr<IUnknown> x, y;
  a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(x.put()));
  b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(y.put()));
  return x && x.get() == y.get();
}

// The shell's list of browser windows, told by its owner which windows come and go.
class ShellList final : public ComObject<ShellWindowsStub, IConnectionPointContainer> {
 public:
  explicit ShellList(std::function<void()> revoke) : revoke_(std::move(revoke)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IConnectionPointContainer)) return Give(out, static_cast<IConnectionPointContainer*>(this));
    return Answer(riid, out, static_cast<IShellWindows*>(this), {IID_IUnknown, IID_IDispatch, IID_IShellWindows});
  }

  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
    Watch(L"Count");
    *count = static_cast<LONG>(items_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** out) override {
    Watch(L"Item");
    *out = nullptr;
    Variant i;
    if (FAILED(VariantChangeType(i.get(), &index, 0, VT_I4))) return E_INVALIDARG;
    LONG n = V_I4(i.get());
    if (n < 0 || n >= static_cast<LONG>(items_.size())) return S_FALSE;
    *out = ComPtr<IDispatch>(items_[static_cast<std::size_t>(n)].second).Detach();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    auto arg = [&](UINT i) -> VARIANT* {  // arguments arrive last first
      return params && params->cArgs > i ? &params->rgvarg[params->cArgs - 1 - i] : nullptr;
    };
    switch (id) {
      case kShellOpen:
      case kShellClose: {
        VARIANT *window = arg(0), *notify = arg(1);
        if (!window || V_VT(window) != VT_DISPATCH || !V_DISPATCH(window) || !notify || V_VT(notify) != VT_BOOL)
          return DISP_E_TYPEMISMATCH;
        bool tell = V_BOOL(notify) != VARIANT_FALSE;
        if (id == kShellOpen) Open(V_DISPATCH(window), tell);
        else Close(V_DISPATCH(window), tell);
        return S_OK;
      }
      case kShellNotify:
        Fire(DISPID_WINDOWREGISTERED, nextCookie_++);
        return S_OK;
      case kShellRevoke:
        if (revoke_) revoke_();
        return S_OK;
      case kShellWatch: {
        VARIANT* watcher = arg(0);
        if (!watcher || V_VT(watcher) != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
        watcher_ = ComPtr<IDispatch>(V_DISPATCH(watcher));
        return S_OK;
      }
      case kShellListeners:
        if (result) *result = I4Variant(static_cast<LONG>(listeners_.size()));
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override {
    *out = nullptr;
    if (!IsEqualIID(riid, DIID_DShellWindowsEvents)) return CONNECT_E_NOCONNECTION;
    auto& listeners = listeners_;
    auto connect = [&listeners](ComPtr<IDispatch> sink, DWORD cookie) {
      listeners[cookie] = sink;
      return std::shared_ptr<void>();
    };
    auto disconnect = [&listeners](DWORD cookie) { listeners.erase(cookie); };
    *out = new ConnectionPoint(shared_, DIID_DShellWindowsEvents, this, connect, disconnect);
    return S_OK;
  }

 private:
  void Open(IDispatch* window, bool notify) {
    LONG cookie = nextCookie_++;
    items_.emplace_back(cookie, ComPtr<IDispatch>(window));
    if (notify) Fire(DISPID_WINDOWREGISTERED, cookie);
  }
  void Close(IDispatch* window, bool notify) {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& item) { return SameObject(item.second.get(), window); });
    if (it == items_.end()) return;
    LONG cookie = it->first;
    items_.erase(it);
    if (notify) Fire(DISPID_WINDOWREVOKED, cookie);
  }
  // Every listener hears it, each kept for its call; a listener that has gone is skipped.
  void Fire(DISPID id, LONG cookie) {
    auto listeners = listeners_;
    for (auto& [_, sink] : listeners) {
      testing::Fire(sink.get(), id, {I4Variant(cookie)});
    }
  }

  // Tells the watcher which read is being answered, before it is: what the watcher does then
  // happens inside the read.
  void Watch(const wchar_t* property) {
    if (!watcher_) return;
    Variant name;
    V_VT(name.get()) = VT_BSTR;
    V_BSTR(name.get()) = SysAllocString(property);
    testing::Fire(watcher_.get(), kShellReading, {*name});
  }

  std::function<void()> revoke_;
  ComPtr<IDispatch> watcher_;
  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
  std::vector<std::pair<LONG, ComPtr<IDispatch>>> items_;
  std::map<DWORD, ComPtr<IDispatch>> listeners_;
  LONG nextCookie_ = 1;
};

}  // namespace

ComPtr<IShellWindows> NewShellList(std::function<void()> revoke) {
  return ComPtr<IShellWindows>::Adopt(new ShellList(std::move(revoke)));
}

HRESULT ShellControl(IDispatch* shell, DISPID id, IDispatch* window, bool notify, VARIANT* result) {
  std::vector<VARIANT> args;
  if (window) args = {BoolVariant(notify), DispatchVariant(window)};  // last first
  DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
  return shell->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

ComPtr<IDispatch> Shared::Browser(const std::shared_ptr<sim::SimBrowser>& b, const std::shared_ptr<Shared>& self) {
  if (b && !browsers.count(b.get())) {
    std::weak_ptr<Shared> shared = self;
    const sim::SimBrowser* model = b.get();
    b->onClosed = [shared, model] {
      if (auto s = shared.lock()) s->Gone(*model);
    };
  }
  return Wrap<sim::SimBrowser, ComBrowser>(browsers, b, self);
}

HWND Shared::RealWindow(sim::SimBrowser& b) {
  auto& hwnd = realWindows[&b];
  if (!hwnd && showWindows) {
    std::wstring text = Wide(b.locationName.value_or("") + " - " + b.locationUrl.value_or(""));
    hwnd = CreateWindowExW(0, L"Static", text.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, b.left, b.top,
                           b.width.value_or(800), b.height.value_or(600), nullptr, nullptr, nullptr, nullptr);
  } else if (!hwnd) {
    hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, b.left, b.top, b.width.value_or(800),
                           b.height.value_or(600), nullptr, nullptr, nullptr, nullptr);
  }
  if (b.closed && IsWindow(hwnd)) DestroyWindow(hwnd);
  return hwnd;
}

// The model's window has gone: its handle names no window any more, and the object of a window
// whose process ended answers no call (as a proxy whose server has gone).
void Shared::Gone(const sim::SimBrowser& b) {
  auto window = realWindows.find(&b);
  if (window != realWindows.end() && IsWindow(window->second)) DestroyWindow(window->second);
  auto object = browsers.find(&b);
  if (b.Crashed() && object != browsers.end()) CoDisconnectObject(object->second.get(), 0);
}
ComPtr<IDispatch> Shared::Document(const std::shared_ptr<sim::SimDocument>& d, const std::shared_ptr<Shared>& self) {
  return Wrap<sim::SimDocument, ComDocument>(documents, d, self);
}
ComPtr<IDispatch> Shared::Window(const std::shared_ptr<sim::SimHtmlWindow>& w, const std::shared_ptr<Shared>& self) {
  return Wrap<sim::SimHtmlWindow, ComHtmlWindow>(windows, w, self);
}
ComPtr<IDispatch> Shared::Element(const std::shared_ptr<sim::SimElement>& e, const std::shared_ptr<Shared>& self) {
  return Wrap<sim::SimElement, ComElement>(elements, e, self);
}

ComModel::ComModel(std::shared_ptr<void> keepAlive) : shared_(std::make_shared<Shared>()) {
  shared_->keepAlive = std::move(keepAlive);
}

ComModel::~ComModel() {
  for (auto& [model, hwnd] : shared_->realWindows)
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  shared_->browsers.clear();
  shared_->documents.clear();
  shared_->windows.clear();
  shared_->elements.clear();
}

ComPtr<IDispatch> ComModel::Browser(const std::shared_ptr<sim::SimBrowser>& browser) {
  return shared_->Browser(browser, shared_);
}

ComPtr<IDispatch> ComModel::Document(const std::shared_ptr<sim::SimDocument>& document) {
  return shared_->Document(document, shared_);
}

const std::vector<ComModel::Connection>& ComModel::Connections() const { return shared_->connections; }

std::int64_t ComModel::HandleOf(const std::shared_ptr<sim::SimBrowser>& browser) {
  return reinterpret_cast<std::int64_t>(shared_->RealWindow(*browser));
}

long ComModel::Calls() const { return shared_->calls; }

void ComModel::ShowWindows() { shared_->showWindows = true; }

}  // namespace quellbox::win32::testing
