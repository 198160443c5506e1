#include "platform/win32/win_browser.h"

#include <exdispid.h>
#include <mshtmdid.h>
#include <servprov.h>
#include <shobjidl.h>

namespace quellbox::win32 {
namespace {

std::optional<std::string> BstrResult(HRESULT hr, const Bstr& b, const char* call) {
  if (Failed(hr, call)) return std::nullopt;
  return Narrow(b.get());
}

// Takes the value by reference: it is read after the call that fills it.
std::optional<bool> BoolResult(HRESULT hr, const VARIANT_BOOL& b, const char* call) {
  if (Failed(hr, call)) return std::nullopt;
  return b != VARIANT_FALSE;
}

// The arguments arrive last first: argument i of the event is rgvarg[count - 1 - i].
const VARIANT& Arg(const DISPPARAMS& params, UINT i) { return params.rgvarg[params.cArgs - 1 - i]; }

bool IsType(const VARIANT& v, VARTYPE type) { return V_VT(&v) == type; }

class WinHtmlElement : public HtmlElement {
 public:
  explicit WinHtmlElement(ComPtr<IHTMLElement> element) : element_(std::move(element)) {}
  std::optional<std::string> TagName() override {
    Bstr b;
    return BstrResult(element_->get_tagName(b.put()), b, "IHTMLElement::get_tagName");
  }
  std::optional<std::string> Id() override {
    Bstr b;
    return BstrResult(element_->get_id(b.put()), b, "IHTMLElement::get_id");
  }
  std::optional<std::string> ToString() override {
    Bstr b;
    return BstrResult(element_->toString(b.put()), b, "IHTMLElement::toString");
  }
  std::optional<bool> IsTextEdit() override {
    VARIANT_BOOL b = VARIANT_FALSE;
    return BoolResult(element_->get_isTextEdit(&b), b, "IHTMLElement::get_isTextEdit");
  }

 private:
  ComPtr<IHTMLElement> element_;
};

std::shared_ptr<HtmlElement> Element(HRESULT hr, ComPtr<IHTMLElement> element, const char* call) {
  if (Failed(hr, call) || !element) return nullptr;
  return std::make_shared<WinHtmlElement>(std::move(element));
}

class WinHtmlWindow : public HtmlWindow {
 public:
  explicit WinHtmlWindow(ComPtr<IHTMLWindow2> window) : window_(std::move(window)) {}
  std::shared_ptr<HtmlElement> EventSourceElement() override {
    ComPtr<IHTMLEventObj> event;
    if (Failed(window_->get_event(event.put()), "IHTMLWindow2::get_event") || !event) return nullptr;
    ComPtr<IHTMLElement> element;
    HRESULT hr = event->get_srcElement(element.put());
    return Element(hr, std::move(element), "IHTMLEventObj::get_srcElement");
  }
  bool ResizeTo(std::int32_t width, std::int32_t height) override {
    return !Failed(window_->resizeTo(width, height), "IHTMLWindow2::resizeTo");
  }
  bool MoveTo(std::int32_t x, std::int32_t y) override {
    return !Failed(window_->moveTo(x, y), "IHTMLWindow2::moveTo");
  }
  std::shared_ptr<HtmlDocument> Document() override {
    ComPtr<IHTMLDocument2> document;
    if (Failed(window_->get_document(document.put()), "IHTMLWindow2::get_document") || !document)
      return nullptr;
    return std::make_shared<WinHtmlDocument>(std::move(document));
  }

 private:
  ComPtr<IHTMLWindow2> window_;
};

}  // namespace

BrowserEventsSink::BrowserEventsSink(std::weak_ptr<BrowserEventSink> sink)
    : EventSinkBase(__uuidof(DWebBrowserEvents2)), sink_(std::move(sink)) {}

HRESULT BrowserEventsSink::Dispatch(DISPID id, DISPPARAMS& params, VARIANT*) {
  auto sink = sink_.lock();  // keeps the monitor alive while its handler runs
  if (!sink) return S_OK;
  switch (id) {
    case DISPID_BEFORENAVIGATE2: {
      if (params.cArgs != 7) return DISP_E_BADPARAMCOUNT;
      const VARIANT& cancel = Arg(params, 6);
      if (!IsType(cancel, VT_BYREF | VT_BOOL) || !V_BOOLREF(&cancel)) return DISP_E_TYPEMISMATCH;
      std::string url = VariantText(Arg(params, 1)).value_or("");
      const VARIANT& frame = Arg(params, 0);
      auto browser = IsType(frame, VT_DISPATCH) ? WinBrowser::From(V_DISPATCH(&frame)) : nullptr;
      bool value = *V_BOOLREF(&cancel) != VARIANT_FALSE;
      sink->BeforeNavigate2(browser, url, value);
      *V_BOOLREF(&cancel) = value ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
    case DISPID_NEWWINDOW2: {
      if (params.cArgs != 2) return DISP_E_BADPARAMCOUNT;
      const VARIANT& cancel = Arg(params, 1);
      if (!IsType(cancel, VT_BYREF | VT_BOOL) || !V_BOOLREF(&cancel)) return DISP_E_TYPEMISMATCH;
      bool value = *V_BOOLREF(&cancel) != VARIANT_FALSE;
      sink->NewWindow2(value);
      *V_BOOLREF(&cancel) = value ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
    case DISPID_NAVIGATECOMPLETE2:
    case DISPID_DOCUMENTCOMPLETE: {
      if (params.cArgs != 2) return DISP_E_BADPARAMCOUNT;
      const VARIANT& frame = Arg(params, 0);
      if (!IsType(frame, VT_DISPATCH)) return DISP_E_TYPEMISMATCH;
      auto browser = WinBrowser::From(V_DISPATCH(&frame));
      std::string url = VariantText(Arg(params, 1)).value_or("");
      if (id == DISPID_DOCUMENTCOMPLETE) sink->DocumentComplete(browser, url);
      else sink->NavigateComplete2(browser, url);
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

DocumentEventsSink::DocumentEventsSink(std::weak_ptr<DocumentEventSink> sink)
    : EventSinkBase(__uuidof(HTMLDocumentEvents)), sink_(std::move(sink)) {}

HRESULT DocumentEventsSink::Dispatch(DISPID id, DISPPARAMS&, VARIANT* result) {
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

ShellWindowsEventsSink::ShellWindowsEventsSink(std::weak_ptr<ShellWindowsEventSink> sink)
    : EventSinkBase(__uuidof(DShellWindowsEvents)), sink_(std::move(sink)) {}

HRESULT ShellWindowsEventsSink::Dispatch(DISPID id, DISPPARAMS& params, VARIANT*) {
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
  if (Check(windows_->get_Count(&count), "IShellWindows::get_Count")) return std::nullopt;
  return static_cast<std::int32_t>(count);
}

std::shared_ptr<Browser> WinShellWindows::Item(std::int32_t index) {
  Variant which;
  V_VT(which.get()) = VT_I4;
  V_I4(which.get()) = index;
  ComPtr<IDispatch> item;
  if (Check(windows_->Item(*which, item.put()), "IShellWindows::Item") || !item) return nullptr;
  return WinBrowser::From(item.get());
}

std::unique_ptr<Subscription> WinShellWindows::Subscribe(std::weak_ptr<ShellWindowsEventSink> sink) {
  auto events = ComPtr<ShellWindowsEventsSink>::Adopt(new ShellWindowsEventsSink(std::move(sink)));
  HRESULT hr = S_OK;
  auto token = ConnectEvents(windows_.get(), __uuidof(DShellWindowsEvents), events.get(), &hr);
  Check(hr, "DShellWindowsEvents Advise");
  return token;
}

bool WinShellWindows::Check(HRESULT hr, const char* call) {
  if (IsDisconnection(hr)) lost_ = true;
  return Failed(hr, call);
}

std::shared_ptr<ShellWindows> WinBrowserShell::OpenShellWindows() {
  ComPtr<IShellWindows> windows;
  if (Failed(CoCreateInstance(__uuidof(::ShellWindows), nullptr, CLSCTX_ALL, __uuidof(IShellWindows),
                              reinterpret_cast<void**>(windows.put())),
             "CoCreateInstance(ShellWindows)") ||
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
  if (Failed(object->QueryInterface(__uuidof(IWebBrowser2), reinterpret_cast<void**>(browser.put())),
             "QueryInterface(IWebBrowser2)"))
    return nullptr;
  return std::make_shared<WinBrowser>(std::move(browser));
}

std::optional<std::string> WinBrowser::Application() {
  // Read as text, the application object gives its default property: the application's name.
  ComPtr<IDispatch> application;
  if (Check(browser_->get_Application(application.put()), "IWebBrowser2::get_Application") ||
      !application)
    return std::nullopt;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  Variant value;
  if (Check(application->Invoke(DISPID_VALUE, GUID{}, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                 &none, value.put(), nullptr, nullptr),
             "Application value"))
    return std::nullopt;
  return VariantText(*value);
}

std::optional<std::string> WinBrowser::LocationName() {
  Bstr b;
  if (Check(browser_->get_LocationName(b.put()), "IWebBrowser2::get_LocationName")) return std::nullopt;
  return Narrow(b.get());
}

std::optional<std::string> WinBrowser::LocationURL() {
  Bstr b;
  if (Check(browser_->get_LocationURL(b.put()), "IWebBrowser2::get_LocationURL")) return std::nullopt;
  return Narrow(b.get());
}

std::optional<std::string> WinBrowser::FullName() {
  Bstr b;
  if (Check(browser_->get_FullName(b.put()), "IWebBrowser2::get_FullName")) return std::nullopt;
  return Narrow(b.get());
}

std::optional<bool> WinBrowser::StatusBar() {
  VARIANT_BOOL b = VARIANT_FALSE;
  if (Check(browser_->get_StatusBar(&b), "IWebBrowser2::get_StatusBar")) return std::nullopt;
  return b != VARIANT_FALSE;
}

std::optional<bool> WinBrowser::Visible() {
  VARIANT_BOOL b = VARIANT_FALSE;
  if (Check(browser_->get_Visible(&b), "IWebBrowser2::get_Visible")) return std::nullopt;
  return b != VARIANT_FALSE;
}

bool WinBrowser::SetVisible(bool visible) {
  return !Check(browser_->put_Visible(visible ? VARIANT_TRUE : VARIANT_FALSE), "IWebBrowser2::put_Visible");
}

// From IE7 on, get_HWND gives the frame window that all tabs of a frame share; the tab's own
// window comes from its shell browser. IE6 answers both with the same window.
std::optional<std::int64_t> WinBrowser::Hwnd() {
  if (auto services = browser_.As<IServiceProvider>()) {
    ComPtr<IOleWindow> tab;
    HWND hwnd = nullptr;
    // SID_SShellBrowser is IID_IShellBrowser (shlguid.h).
    if (!Check(services->QueryService(__uuidof(IShellBrowser), __uuidof(IOleWindow),
                                       reinterpret_cast<void**>(tab.put())),
                "QueryService(SID_SShellBrowser)") &&
        tab && !Check(tab->GetWindow(&hwnd), "IOleWindow::GetWindow") && hwnd)
      return static_cast<std::int64_t>(reinterpret_cast<INT_PTR>(hwnd));
  }
  SHANDLE_PTR hwnd = 0;
  if (Check(browser_->get_HWND(&hwnd), "IWebBrowser2::get_HWND")) return std::nullopt;
  return static_cast<std::int64_t>(hwnd);
}

std::optional<std::int32_t> WinBrowser::Width() {
  long v = 0;
  if (Check(browser_->get_Width(&v), "IWebBrowser2::get_Width")) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::optional<std::int32_t> WinBrowser::Height() {
  long v = 0;
  if (Check(browser_->get_Height(&v), "IWebBrowser2::get_Height")) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::shared_ptr<HtmlDocument> WinBrowser::Document() {
  ComPtr<IDispatch> document;
  if (Check(browser_->get_Document(document.put()), "IWebBrowser2::get_Document") || !document)
    return nullptr;
  return WinHtmlDocument::From(document.get());
}

std::optional<std::int32_t> WinBrowser::GetProperty(const std::string& name) {
  Bstr property(name);
  Variant value;
  if (Check(browser_->GetProperty(property.get(), value.put()), "IWebBrowser2::GetProperty"))
    return std::nullopt;
  return VariantInt(*value);
}

bool WinBrowser::PutProperty(const std::string& name, std::int32_t value) {
  Bstr property(name);
  Variant v;
  V_VT(v.get()) = VT_I4;
  V_I4(v.get()) = value;
  return !Check(browser_->PutProperty(property.get(), *v), "IWebBrowser2::PutProperty");
}

bool WinBrowser::GoForward() { return !Check(browser_->GoForward(), "IWebBrowser2::GoForward"); }

bool WinBrowser::ExecWB(std::int32_t command, std::int32_t option) {
  // "No value" is an empty VARIANT, never a null pointer: the browser is in another process, and
  // the marshaller refuses a null top-level pointer, so the command would never arrive.
  Variant in, out;
  return !Check(browser_->ExecWB(static_cast<OLECMDID>(command), static_cast<OLECMDEXECOPT>(option),
                                  in.get(), out.get()),
                 "IWebBrowser2::ExecWB");
}

bool WinBrowser::Quit() { return !Check(browser_->Quit(), "IWebBrowser2::Quit"); }

bool WinBrowser::Check(HRESULT hr, const char* call) {
  if (IsDisconnection(hr)) lost_ = true;
  return Failed(hr, call);
}

std::unique_ptr<Subscription> WinBrowser::Subscribe(std::weak_ptr<BrowserEventSink> sink) {
  auto events = ComPtr<BrowserEventsSink>::Adopt(new BrowserEventsSink(std::move(sink)));
  HRESULT hr = S_OK;
  auto token = ConnectEvents(browser_.get(), __uuidof(DWebBrowserEvents2), events.get(), &hr);
  Check(hr, "DWebBrowserEvents2 Advise");
  return token;
}

std::shared_ptr<WinHtmlDocument> WinHtmlDocument::From(IDispatch* object) {
  if (!object) return nullptr;
  ComPtr<IHTMLDocument2> document;
  if (Failed(object->QueryInterface(__uuidof(IHTMLDocument2), reinterpret_cast<void**>(document.put())),
             "QueryInterface(IHTMLDocument2)"))
    return nullptr;
  return std::make_shared<WinHtmlDocument>(std::move(document));
}

std::optional<std::string> WinHtmlDocument::Url() {
  Bstr b;
  return BstrResult(document_->get_URL(b.put()), b, "IHTMLDocument2::get_URL");
}

std::shared_ptr<HtmlElement> WinHtmlDocument::ActiveElement() {
  ComPtr<IHTMLElement> element;
  HRESULT hr = document_->get_activeElement(element.put());
  return Element(hr, std::move(element), "IHTMLDocument2::get_activeElement");
}

std::shared_ptr<HtmlWindow> WinHtmlDocument::ParentWindow() {
  ComPtr<IHTMLWindow2> window;
  if (Failed(document_->get_parentWindow(window.put()), "IHTMLDocument2::get_parentWindow") || !window)
    return nullptr;
  return std::make_shared<WinHtmlWindow>(std::move(window));
}

std::optional<std::int32_t> WinHtmlDocument::FrameCount() {
  ComPtr<IHTMLFramesCollection2> frames;
  long length = 0;
  if (Failed(document_->get_frames(frames.put()), "IHTMLDocument2::get_frames") || !frames ||
      Failed(frames->get_length(&length), "IHTMLFramesCollection2::get_length"))
    return std::nullopt;
  return static_cast<std::int32_t>(length);
}

std::shared_ptr<HtmlWindow> WinHtmlDocument::Frame(std::int32_t index) {
  ComPtr<IHTMLFramesCollection2> frames;
  if (Failed(document_->get_frames(frames.put()), "IHTMLDocument2::get_frames") || !frames)
    return nullptr;
  Variant which, item;
  V_VT(which.get()) = VT_I4;
  V_I4(which.get()) = index;
  if (Failed(frames->item(which.get(), item.put()), "IHTMLFramesCollection2::item") ||
      V_VT(item.get()) != VT_DISPATCH || !V_DISPATCH(item.get()))
    return nullptr;
  ComPtr<IHTMLWindow2> window;
  if (Failed(V_DISPATCH(item.get())->QueryInterface(__uuidof(IHTMLWindow2), reinterpret_cast<void**>(window.put())),
             "QueryInterface(IHTMLWindow2)"))
    return nullptr;
  return std::make_shared<WinHtmlWindow>(std::move(window));
}

std::unique_ptr<Subscription> WinHtmlDocument::Subscribe(std::weak_ptr<DocumentEventSink> sink) {
  auto events = ComPtr<DocumentEventsSink>::Adopt(new DocumentEventsSink(std::move(sink)));
  HRESULT hr = S_OK;
  auto token = ConnectEvents(document_.get(), __uuidof(HTMLDocumentEvents), events.get(), &hr);
  Failed(hr, "HTMLDocumentEvents Advise");
  return token;
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
