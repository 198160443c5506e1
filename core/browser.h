#pragma once
// The browser as the engine sees it: automation objects that answer reads with values or with
// nothing (the read failed), and event subscriptions owned by a token. No COM types here.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quellbox {

// Ends a subscription when destroyed (Unadvise).
class Subscription {
 public:
  virtual ~Subscription() = default;
};

class HtmlDocument;

class HtmlElement {
 public:
  virtual ~HtmlElement() = default;
  virtual std::optional<std::string> TagName() = 0;
  virtual std::optional<std::string> Id() = 0;
  virtual std::optional<std::string> ToString() = 0;
  virtual std::optional<bool> IsTextEdit() = 0;
};

// A script window object: the top document's parentWindow, or a frame.
class HtmlWindow {
 public:
  virtual ~HtmlWindow() = default;
  // The element of the event being handled (event.srcElement); null when unreadable.
  virtual std::shared_ptr<HtmlElement> EventSourceElement() = 0;
  virtual bool ResizeTo(std::int32_t width, std::int32_t height) = 0;
  virtual bool MoveTo(std::int32_t x, std::int32_t y) = 0;
  // The window's document when it is an HTML document; null otherwise or when unreadable.
  virtual std::shared_ptr<HtmlDocument> Document() = 0;
};

class DocumentEventSink {
 public:
  virtual ~DocumentEventSink() = default;
  virtual bool OnContextMenu() = 0;  // false suppresses the browser's menu
  virtual void OnMouseUp() = 0;
  virtual bool OnClick() = 0;  // false would cancel the click
};

class HtmlDocument {
 public:
  virtual ~HtmlDocument() = default;
  virtual std::optional<std::string> Url() = 0;
  virtual std::shared_ptr<HtmlElement> ActiveElement() = 0;
  virtual std::shared_ptr<HtmlWindow> ParentWindow() = 0;
  virtual std::optional<std::int32_t> FrameCount() = 0;
  virtual std::shared_ptr<HtmlWindow> Frame(std::int32_t index) = 0;
  // Events go to the sink while it lives and the token is held.
  virtual std::unique_ptr<Subscription> Subscribe(std::weak_ptr<DocumentEventSink> sink) = 0;
};

class BrowserEventSink;

class Browser {
 public:
  virtual ~Browser() = default;
  // Names the automation object itself: two reads that hand out the same window give the same
  // identity for as long as either is held (COM's rule for IUnknown). Null when unknown. Reads
  // nothing, so it cannot fail in the middle of a pass or let events in.
  virtual const void* Identity() const = 0;
  virtual std::optional<std::string> Application() = 0;  // the application's name as text
  virtual std::optional<std::string> LocationName() = 0;
  virtual std::optional<std::string> LocationURL() = 0;
  virtual std::optional<std::string> FullName() = 0;
  virtual std::optional<bool> StatusBar() = 0;
  virtual std::optional<bool> Visible() = 0;
  virtual bool SetVisible(bool visible) = 0;
  virtual std::optional<std::int64_t> Hwnd() = 0;
  virtual std::optional<std::int32_t> Width() = 0;
  virtual std::optional<std::int32_t> Height() = 0;
  // The HTML document shown; null when there is none (a folder, a plug-in) or on failure.
  virtual std::shared_ptr<HtmlDocument> Document() = 0;
  // A named client property as a 32-bit number; an absent property reads as 0.
  virtual std::optional<std::int32_t> GetProperty(const std::string& name) = 0;
  virtual bool PutProperty(const std::string& name, std::int32_t value) = 0;
  virtual bool GoForward() = 0;
  // A command of the standard command set (OLECMDID), with no input or output value.
  virtual bool ExecWB(std::int32_t command, std::int32_t option) = 0;
  static constexpr std::int32_t kDontPromptUser = 2;  // OLECMDEXECOPT_DONTPROMPTUSER
  virtual bool Quit() = 0;
  virtual std::unique_ptr<Subscription> Subscribe(std::weak_ptr<BrowserEventSink> sink) = 0;
  // True once a call found the window's process gone: the object will answer no call again.
  virtual bool Lost() const = 0;
};

class BrowserEventSink {
 public:
  virtual ~BrowserEventSink() = default;
  virtual void BeforeNavigate2(const std::string& url, bool& cancel) = 0;
  virtual void CommandStateChange(std::int32_t command, bool enable) = 0;
  // `frame` is the browser object of the window or frame whose document completed (pDisp).
  virtual void DocumentComplete(const std::shared_ptr<Browser>& frame, const std::string& url) = 0;
  virtual void DownloadComplete() = 0;
  virtual void NavigateComplete2(const std::string& url) = 0;
  virtual void NewWindow2(bool& cancel) = 0;
  // Windows XP SP2 and later: the same request with the opener's address and the new window's.
  virtual void NewWindow3(bool& cancel, std::uint32_t flags, const std::string& opener, const std::string& url) = 0;
  virtual void OnQuit() = 0;
};

class ShellWindowsEventSink {
 public:
  virtual ~ShellWindowsEventSink() = default;
  virtual void WindowRegistered(std::int32_t cookie) = 0;
  virtual void WindowRevoked(std::int32_t cookie) = 0;
};

// The shell's list of open browser windows (Internet Explorer and folder windows alike).
class ShellWindows {
 public:
  virtual ~ShellWindows() = default;
  virtual std::optional<std::int32_t> Count() = 0;
  virtual std::shared_ptr<Browser> Item(std::int32_t index) = 0;  // null when unreadable
  virtual std::unique_ptr<Subscription> Subscribe(std::weak_ptr<ShellWindowsEventSink> sink) = 0;
  // True once a call found the list's process gone (Explorer ended): the object and its events
  // are dead for good, and only a list opened anew hears the shell again.
  virtual bool Lost() const = 0;
};

class BrowserShell {
 public:
  virtual ~BrowserShell() = default;
  virtual std::shared_ptr<ShellWindows> OpenShellWindows() = 0;  // null when unavailable
};

// Keyboard, mouse, the displays and the windows on them.
class Input {
 public:
  virtual ~Input() = default;
  // Negative while held; the low-order bit only says the key is toggled.
  virtual std::int16_t KeyState(int virtualKey) = 0;
  struct Point {
    std::int32_t x = 0, y = 0;
  };
  struct Rect {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
  };
  virtual std::optional<Point> CursorPos() = 0;
  // The display the window is on, in pixels of the desktop; the primary one for an unknown window.
  virtual Rect DisplayOf(std::int64_t hwnd) = 0;
  // Whether the handle still names a window.
  virtual bool WindowExists(std::int64_t hwnd) = 0;
};

inline constexpr int kVkShift = 16;
inline constexpr int kVkControl = 17;
inline constexpr int kVkMenu = 18;

}  // namespace quellbox
