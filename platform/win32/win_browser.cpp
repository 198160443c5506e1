#include "platform/win32/win_browser.h"

#include <exdispid.h>
#include <mshtmdid.h>
#include <servprov.h>
#include <shobjidl.h>

namespace quellbox::win32 {
namespace {

std::optional<std::string> BstrResult(HRESULT hr, const Bstr& b) {
  if (FAILED(hr)) return std::nullopt;
  return Narrow(b.get());
}

// Takes the value by reference: it is read after the call that fills it.
std::optional<bool> BoolResult(HRESULT hr, const VARIANT_BOOL& b) {
  if (FAILED(hr)) return std::nullopt;
  return b != VARIANT_FALSE;
}

// The arguments arrive last first: argument i of the event is rgvarg[count - 1 - i].
const VARIANT& Arg(const DISPPARAMS& params, UINT i) { return params.rgvarg[params.cArgs - 1 - i]; }

bool IsType(const VARIANT& v, VARTYPE type) { return V_VT(&v) == type; }

// An event of `count` arguments whose argument `at` is its Cancel flag (VT_BYREF|VT_BOOL): the
// handler gets the flag as it came and the browser gets it back as the handler left it.
template <typename Handler>
HRESULT WithCancel(const DISPPARAMS& params, UINT count, UINT at, Handler handle) {
  if (params.cArgs != count) return DISP_E_BADPARAMCOUNT;
  const VARIANT& cancel = Arg(params, at);
  if (!IsType(cancel, VT_BYREF | VT_BOOL) || !V_BOOLREF(&cancel)) return DISP_E_TYPEMISMATCH;
  bool value = *V_BOOLREF(&cancel) != VARIANT_FALSE;
  handle(value);
  *V_BOOLREF(&cancel) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

class WinHtmlElement : public HtmlElement {
 public:
  explicit WinHtmlElement(ComPtr<IHTMLElement> element) : element_(std::move(element)) {}
  std::optional<std::string> TagName() override {
    Bstr b;
    return BstrResult(LOG_IF_FAILED(element_->get_tagName(b.put())), b);
  }
  std::optional<std::string> Id() override {
    Bstr b;
    return BstrResult(LOG_IF_FAILED(element_->get_id(b.put())), b);
  }
  std::optional<std::string> ToString() override {
    Bstr b;
    return BstrResult(LOG_IF_FAILED(element_->toString(b.put())), b);
  }
  std::optional<bool> IsTextEdit() override {
    VARIANT_BOOL b = VARIANT_FALSE;
    return BoolResult(LOG_IF_FAILED(element_->get_isTextEdit(&b)), b);
  }

 private:
  ComPtr<IHTMLElement> element_;
};

std::shared_ptr<HtmlElement> Element(HRESULT hr, ComPtr<IHTMLElement> element) {
  if (FAILED(hr) || !element) return nullptr;
  return std::make_shared<WinHtmlElement>(std::move(element));
}

class WinHtmlWindow : public HtmlWindow {
 public:
  explicit WinHtmlWindow(ComPtr<IHTMLWindow2> window) : window_(std::move(window)) {}
  std::shared_ptr<HtmlElement> EventSourceElement() override {
    ComPtr<IHTMLEventObj> event;
    if (FAILED(LOG_IF_FAILED(window_->get_event(event.put()))) || !event) return nullptr;
    ComPtr<IHTMLElement> element;
    HRESULT hr = LOG_IF_FAILED(event->get_srcElement(element.put()));
    return Element(hr, std::move(element));
  }
  bool ResizeTo(std::int32_t width, std::int32_t height) override {
    return !FAILED(LOG_IF_FAILED(window_->resizeTo(width, height)));
  }
  bool MoveTo(std::int32_t x, std::int32_t y) override {
    return !FAILED(LOG_IF_FAILED(window_->moveTo(x, y)));
  }
  std::shared_ptr<HtmlDocument> Document() override {
    ComPtr<IHTMLDocument2> document;
    if (FAILED(LOG_IF_FAILED(window_->get_document(document.put()))) || !document)
      return nullptr;
    return std::make_shared<WinHtmlDocument>(std::move(document));
  }

 private:
  ComPtr<IHTMLWindow2> window_;
};

}  // namespace

// A new sink for `sink`, connected to `source`'s `events`; Advise's result is left in `hr`.
template <typename Sink>
std::unique_ptr<Subscription> Advise(IUnknown* source, REFIID events, std::weak_ptr<Sink> sink, HRESULT& hr) {
  auto object = ComPtr<EventsSink<Sink>>::Adopt(new EventsSink<Sink>(events, std::move(sink)));
  return ConnectEvents(source, events, object.get(), &hr);
}

template <>
HRESULT EventsSink<BrowserEventSink>::Dispatch(DISPID id, DISPPARAMS& params, VARIANT*) {
  auto sink = sink_.lock();  // keeps the monitor alive while its handler runs
  if (!sink) return S_OK;
  switch (id) {
    case DISPID_BEFORENAVIGATE2:
      return WithCancel(params, 7, 6, [&](bool& cancel) {
        sink->BeforeNavigate2(VariantText(Arg(params, 1)).value_or(""), cancel);
      });
    case DISPID_NEWWINDOW2:
      return WithCancel(params, 2, 1, [&](bool& cancel) { sink->NewWindow2(cancel); });
    case DISPID_NEWWINDOW3:  // ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl
      return WithCancel(params, 5, 1, [&](bool& cancel) {
        sink->NewWindow3(cancel, static_cast<std::uint32_t>(VariantInt(Arg(params, 2)).value_or(0)),
                         VariantText(Arg(params, 3)).value_or(""), VariantText(Arg(params, 4)).value_or(""));
      });
    case DISPID_NAVIGATECOMPLETE2:
    case DISPID_DOCUMENTCOMPLETE: {
      if (params.cArgs != 2) return DISP_E_BADPARAMCOUNT;
      const VARIANT& frame = Arg(params, 0);
      if (!IsType(frame, VT_DISPATCH)) return DISP_E_TYPEMISMATCH;
      std::string url = VariantText(Arg(params, 1)).value_or("");
      // Only the document's completion needs the frame, to hook its document.
      if (id == DISPID_DOCUMENTCOMPLETE) sink->DocumentComplete(WinBrowser::From(V_DISPATCH(&frame)), url);
      else sink->NavigateComplete2(url);
      return S_OK;
    }
    case DISPID_DOWNLOADCOMPLETE:
      sink->DownloadComplete();
      return S_OK;
    case DISPID_COMMANDSTATECHANGE: {
      if (params.cArgs != 2) return DISP_E_BADPARAMCOUNT;
      auto command = VariantInt(Arg(params, 0));
      auto enable = VariantBool(Arg(params, 1));
      if (!command || !enable) return DISP_E_TYPEMISMATCH;
      sink->CommandStateChange(*command, *enable);
      return S_OK;
    }
    case DISPID_ONQUIT:
      sink->OnQuit();
      return S_OK;
    default:
      return S_OK;  // events the program does not handle
  }
}

template <>
HRESULT EventsSink<DocumentEventSink>::Dispatch(DISPID id, DISPPARAMS&, VARIANT* result) {
  auto sink = sink_.lock();
  if (!sink) return S_OK;
  std::optional<bool> answer;
  switch (id) {
    case DISPID_HTMLDOCUMENTEVENTS_ONCLICK:
      answer = sink->OnClick();
      break;
    case DISPID_HTMLDOCUMENTEVENTS_ONMOUSEUP:
      sink->OnMouseUp();
      break;
    case DISPID_EVMETH_ONCONTEXTMENU:
      answer = sink->OnContextMenu();
      break;
    default:
      break;
  }
  if (answer && result) {
    VariantClear(result);
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = *answer ? VARIANT_TRUE : VARIANT_FALSE;
  }
  return S_OK;
}

template <>
HRESULT EventsSink<ShellWindowsEventSink>::Dispatch(DISPID id, DISPPARAMS& params, VARIANT*) {
  if (id != DISPID_WINDOWREGISTERED && id != DISPID_WINDOWREVOKED) return S_OK;
  if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
  auto cookie = VariantInt(Arg(params, 0));
  if (!cookie) return DISP_E_TYPEMISMATCH;
  auto sink = sink_.lock();
  if (!sink) return S_OK;
  if (id == DISPID_WINDOWREGISTERED) sink->WindowRegistered(*cookie);
  else sink->WindowRevoked(*cookie);
  return S_OK;
}

std::optional<std::int32_t> WinShellWindows::Count() {
  long count = 0;
  if (Check(LOG_IF_FAILED(windows_->get_Count(&count)))) return std::nullopt;
  return static_cast<std::int32_t>(count);
}

std::shared_ptr<Browser> WinShellWindows::Item(std::int32_t index) {
  Variant which;
  V_VT(which.get()) = VT_I4;
  V_I4(which.get()) = index;
  ComPtr<IDispatch> item;
  if (Check(LOG_IF_FAILED(windows_->Item(*which, item.put()))) || !item) return nullptr;
  return WinBrowser::From(item.get());
}

std::unique_ptr<Subscription> WinShellWindows::Subscribe(std::weak_ptr<ShellWindowsEventSink> sink) {
  HRESULT hr = S_OK;
  auto token = Advise(windows_.get(), __uuidof(DShellWindowsEvents), std::move(sink), hr);
  Check(hr);
  return token;
}

bool WinShellWindows::Check(HRESULT hr) {
  if (IsDisconnection(hr)) lost_ = true;
  return FAILED(hr);
}

std::shared_ptr<ShellWindows> WinBrowserShell::OpenShellWindows() {
  ComPtr<IShellWindows> windows;
  if (FAILED(LOG_IF_FAILED(CoCreateInstance(__uuidof(::ShellWindows), nullptr, CLSCTX_ALL, __uuidof(IShellWindows),
                              reinterpret_cast<void**>(windows.put())))) ||
      !windows)
    return nullptr;
  return std::make_shared<WinShellWindows>(std::move(windows));
}

WinBrowser::WinBrowser(ComPtr<IWebBrowser2> browser) : browser_(std::move(browser)) {
  // COM's identity rule: the IUnknown of an object, proxy or not, is the same pointer for as
  // long as anyone holds it, so this names the window's object while this wrapper lives.
  if (browser_) identity_ = browser_.As<IUnknown>();
}

std::shared_ptr<WinBrowser> WinBrowser::From(IDispatch* object) {
  if (!object) return nullptr;
  ComPtr<IWebBrowser2> browser;
  if (FAILED(LOG_IF_FAILED(object->QueryInterface(__uuidof(IWebBrowser2), reinterpret_cast<void**>(browser.put())))))
    return nullptr;
  return std::make_shared<WinBrowser>(std::move(browser));
}

std::optional<std::string> WinBrowser::Application() {
  // Read as text, the application object gives its default property: the application's name.
  ComPtr<IDispatch> application;
  if (Check(LOG_IF_FAILED(browser_->get_Application(application.put()))) ||
      !application)
    return std::nullopt;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  Variant value;
  if (Check(LOG_IF_FAILED(application->Invoke(DISPID_VALUE, GUID{}, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                 &none, value.put(), nullptr, nullptr))))
    return std::nullopt;
  return VariantText(*value);
}

std::optional<std::string> WinBrowser::LocationName() {
  Bstr b;
  if (Check(LOG_IF_FAILED(browser_->get_LocationName(b.put())))) return std::nullopt;
  return Narrow(b.get());
}

std::optional<std::string> WinBrowser::LocationURL() {
  Bstr b;
  if (Check(LOG_IF_FAILED(browser_->get_LocationURL(b.put())))) return std::nullopt;
  return Narrow(b.get());
}

std::optional<std::string> WinBrowser::FullName() {
  Bstr b;
  if (Check(LOG_IF_FAILED(browser_->get_FullName(b.put())))) return std::nullopt;
  return Narrow(b.get());
}

std::optional<bool> WinBrowser::StatusBar() {
  VARIANT_BOOL b = VARIANT_FALSE;
  if (Check(LOG_IF_FAILED(browser_->get_StatusBar(&b)))) return std::nullopt;
  return b != VARIANT_FALSE;
}

std::optional<bool> WinBrowser::Visible() {
  VARIANT_BOOL b = VARIANT_FALSE;
  if (Check(LOG_IF_FAILED(browser_->get_Visible(&b)))) return std::nullopt;
  return b != VARIANT_FALSE;
}

bool WinBrowser::SetVisible(bool visible) {
  return !Check(LOG_IF_FAILED(browser_->put_Visible(visible ? VARIANT_TRUE : VARIANT_FALSE)));
}

// From IE7 on, get_HWND gives the frame window that all tabs of a frame share; the tab's own
// window comes from its shell browser. IE6 answers both with the same window.
std::optional<std::int64_t> WinBrowser::Hwnd() {
  if (auto services = browser_.As<IServiceProvider>()) {
    ComPtr<IOleWindow> tab;
    HWND hwnd = nullptr;
    // SID_SShellBrowser is IID_IShellBrowser (shlguid.h).
    if (!Check(LOG_IF_FAILED(services->QueryService(__uuidof(IShellBrowser), __uuidof(IOleWindow),
                                       reinterpret_cast<void**>(tab.put())))) &&
        tab && !Check(LOG_IF_FAILED(tab->GetWindow(&hwnd))) && hwnd)
      return static_cast<std::int64_t>(reinterpret_cast<INT_PTR>(hwnd));
  }
  SHANDLE_PTR hwnd = 0;
  if (Check(LOG_IF_FAILED(browser_->get_HWND(&hwnd)))) return std::nullopt;
  return static_cast<std::int64_t>(hwnd);
}

std::optional<std::int32_t> WinBrowser::Width() {
  long v = 0;
  if (Check(LOG_IF_FAILED(browser_->get_Width(&v)))) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::optional<std::int32_t> WinBrowser::Height() {
  long v = 0;
  if (Check(LOG_IF_FAILED(browser_->get_Height(&v)))) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::shared_ptr<HtmlDocument> WinBrowser::Document() {
  ComPtr<IDispatch> document;
  if (Check(LOG_IF_FAILED(browser_->get_Document(document.put()))) || !document)
    return nullptr;
  return WinHtmlDocument::From(document.get());
}

std::optional<std::int32_t> WinBrowser::GetProperty(const std::string& name) {
  Bstr property(name);
  Variant value;
  if (Check(LOG_IF_FAILED(browser_->GetProperty(property.get(), value.put()))))
    return std::nullopt;
  return VariantInt(*value);
}

bool WinBrowser::PutProperty(const std::string& name, std::int32_t value) {
  Bstr property(name);
  Variant v;
  V_VT(v.get()) = VT_I4;
  V_I4(v.get()) = value;
  return !Check(LOG_IF_FAILED(browser_->PutProperty(property.get(), *v)));
}

bool WinBrowser::GoForward() { return !Check(LOG_IF_FAILED(browser_->GoForward())); }

bool WinBrowser::ExecWB(std::int32_t command, std::int32_t option) {
  // "No value" is an empty VARIANT, never a null pointer: the browser is in another process, and
  // the marshaller refuses a null top-level pointer, so the command would never arrive.
  Variant in, out;
  return !Check(LOG_IF_FAILED(browser_->ExecWB(static_cast<OLECMDID>(command), static_cast<OLECMDEXECOPT>(option),
                                  in.get(), out.get())));
}

bool WinBrowser::Quit() { return !Check(LOG_IF_FAILED(browser_->Quit())); }

bool WinBrowser::Check(HRESULT hr) {
  if (IsDisconnection(hr)) lost_ = true;
  return FAILED(hr);
}

std::unique_ptr<Subscription> WinBrowser::Subscribe(std::weak_ptr<BrowserEventSink> sink) {
  HRESULT hr = S_OK;
  auto token = Advise(browser_.get(), __uuidof(DWebBrowserEvents2), std::move(sink), hr);
  Check(hr);
  return token;
}

std::shared_ptr<WinHtmlDocument> WinHtmlDocument::From(IDispatch* object) {
  if (!object) return nullptr;
  ComPtr<IHTMLDocument2> document;
  if (FAILED(LOG_IF_FAILED(object->QueryInterface(__uuidof(IHTMLDocument2), reinterpret_cast<void**>(document.put())))))
    return nullptr;
  return std::make_shared<WinHtmlDocument>(std::move(document));
}

std::optional<std::string> WinHtmlDocument::Url() {
  Bstr b;
  return BstrResult(LOG_IF_FAILED(document_->get_URL(b.put())), b);
}

std::shared_ptr<HtmlElement> WinHtmlDocument::ActiveElement() {
  ComPtr<IHTMLElement> element;
  HRESULT hr = LOG_IF_FAILED(document_->get_activeElement(element.put()));
  return Element(hr, std::move(element));
}

std::shared_ptr<HtmlWindow> WinHtmlDocument::ParentWindow() {
  ComPtr<IHTMLWindow2> window;
  if (FAILED(LOG_IF_FAILED(document_->get_parentWindow(window.put()))) || !window)
    return nullptr;
  return std::make_shared<WinHtmlWindow>(std::move(window));
}

std::optional<std::int32_t> WinHtmlDocument::FrameCount() {
  ComPtr<IHTMLFramesCollection2> frames;
  long length = 0;
  if (FAILED(LOG_IF_FAILED(document_->get_frames(frames.put()))) || !frames ||
      FAILED(LOG_IF_FAILED(frames->get_length(&length))))
    return std::nullopt;
  return static_cast<std::int32_t>(length);
}

std::shared_ptr<HtmlWindow> WinHtmlDocument::Frame(std::int32_t index) {
  ComPtr<IHTMLFramesCollection2> frames;
  if (FAILED(LOG_IF_FAILED(document_->get_frames(frames.put()))) || !frames)
    return nullptr;
  Variant which, item;
  V_VT(which.get()) = VT_I4;
  V_I4(which.get()) = index;
  if (FAILED(LOG_IF_FAILED(frames->item(which.get(), item.put()))) ||
      V_VT(item.get()) != VT_DISPATCH || !V_DISPATCH(item.get()))
    return nullptr;
  ComPtr<IHTMLWindow2> window;
  if (FAILED(LOG_IF_FAILED(V_DISPATCH(item.get())->QueryInterface(__uuidof(IHTMLWindow2), reinterpret_cast<void**>(window.put())))))
    return nullptr;
  return std::make_shared<WinHtmlWindow>(std::move(window));
}

std::unique_ptr<Subscription> WinHtmlDocument::Subscribe(std::weak_ptr<DocumentEventSink> sink) {
  HRESULT hr = S_OK;
  return Advise(document_.get(), __uuidof(HTMLDocumentEvents), std::move(sink), hr);
}

std::int16_t WinInput::KeyState(int virtualKey) { return GetKeyState(virtualKey); }

std::optional<Input::Point> WinInput::CursorPos() {
  POINT p;
  if (!GetCursorPos(&p)) return std::nullopt;
  return Point{static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y)};
}

Input::Rect WinInput::DisplayOf(std::int64_t hwnd) {
  // The display the window is on; MONITOR_DEFAULTTOPRIMARY for a handle that names no window.
  HMONITOR monitor = MonitorFromWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(hwnd)), MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoW(monitor, &info))
    return Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const RECT& r = info.rcMonitor;
  return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool WinInput::WindowExists(std::int64_t hwnd) {
  return IsWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(hwnd))) != FALSE;
}

}  // namespace quellbox::win32
