#pragma once
// The browser ports over Internet Explorer's automation objects and MSHTML.
#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>

#include "core/browser.h"
#include "platform/win32/com.h"

namespace quellbox::win32 {

// One of the engine's event interfaces as a COM sink: Dispatch decodes the dispinterface's
// events and hands them to `Sink` for as long as that sink lives.
template <typename Sink>
class EventsSink final : public EventSinkBase {
 public:
  EventsSink(REFIID events, std::weak_ptr<Sink> sink) : EventSinkBase(events), sink_(std::move(sink)) {}

 protected:
  HRESULT Dispatch(DISPID id, DISPPARAMS& params, VARIANT* result) override;

 private:
  std::weak_ptr<Sink> sink_;
};
using BrowserEventsSink = EventsSink<BrowserEventSink>;  // DWebBrowserEvents2

class WinShellWindows : public ShellWindows {
 public:
  explicit WinShellWindows(ComPtr<IShellWindows> windows) : windows_(std::move(windows)) {}
  std::optional<std::int32_t> Count() override;
  std::shared_ptr<Browser> Item(std::int32_t index) override;
  std::unique_ptr<Subscription> Subscribe(std::weak_ptr<ShellWindowsEventSink> sink) override;
  bool Lost() const override { return lost_; }

 private:
  bool Check(HRESULT hr);  // FAILED(hr), noting a dead shell
  ComPtr<IShellWindows> windows_;
  bool lost_ = false;
};

class WinBrowserShell : public BrowserShell {
 public:
  std::shared_ptr<ShellWindows> OpenShellWindows() override;
};

class WinBrowser : public Browser {
 public:
  explicit WinBrowser(ComPtr<IWebBrowser2> browser);
  // The browser behind an automation object, or null when it is none.
  static std::shared_ptr<WinBrowser> From(IDispatch* object);

  const void* Identity() const override { return identity_.get(); }

  std::optional<std::string> Application() override;
  std::optional<std::string> LocationName() override;
  std::optional<std::string> LocationURL() override;
  std::optional<std::string> FullName() override;
  std::optional<bool> StatusBar() override;
  std::optional<bool> Visible() override;
  bool SetVisible(bool visible) override;
  std::optional<std::int64_t> Hwnd() override;
  std::optional<std::int32_t> Width() override;
  std::optional<std::int32_t> Height() override;
  std::shared_ptr<HtmlDocument> Document() override;
  std::optional<std::int32_t> GetProperty(const std::string& name) override;
  bool PutProperty(const std::string& name, std::int32_t value) override;
  bool GoForward() override;
  bool ExecWB(std::int32_t command, std::int32_t option) override;
  bool Quit() override;
  std::unique_ptr<Subscription> Subscribe(std::weak_ptr<BrowserEventSink> sink) override;
  bool Lost() const override { return lost_; }

 private:
  bool Check(HRESULT hr);  // FAILED(hr), noting a browser whose process ended
  ComPtr<IWebBrowser2> browser_;
  ComPtr<IUnknown> identity_;
  bool lost_ = false;
};

class WinHtmlDocument : public HtmlDocument {
 public:
  explicit WinHtmlDocument(ComPtr<IHTMLDocument2> document) : document_(std::move(document)) {}
  static std::shared_ptr<WinHtmlDocument> From(IDispatch* object);

  std::optional<std::string> Url() override;
  std::shared_ptr<HtmlElement> ActiveElement() override;
  std::shared_ptr<HtmlWindow> ParentWindow() override;
  std::optional<std::int32_t> FrameCount() override;
  std::shared_ptr<HtmlWindow> Frame(std::int32_t index) override;
  std::unique_ptr<Subscription> Subscribe(std::weak_ptr<DocumentEventSink> sink) override;

 private:
  ComPtr<IHTMLDocument2> document_;
};

class WinInput : public Input {
 public:
  std::int16_t KeyState(int virtualKey) override;
  std::optional<Point> CursorPos() override;
  Rect DisplayOf(std::int64_t hwnd) override;
  bool WindowExists(std::int64_t hwnd) override;
};

}  // namespace quellbox::win32
