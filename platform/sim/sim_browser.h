#pragma once
// Scripted browser windows and documents. Every read goes through the hub, which counts it
// and can run a scripted action inside it, the way a cross-process call lets other events in.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/browser.h"

namespace quellbox::sim {

class SimBrowser;

class SimHub {
 public:
  // Called before every read with the object's name and the property; counts the read. False
  // when the read is to fail: it was not answered (see FailNextRead).
  bool Read(const std::string& object, const std::string& property);
  long reads = 0;
  // How many scripted actions are running, each inside a read.
  int Depth() const { return depth_; }
  // Runs once, inside the next read of `property` of `object` ("" matches any object).
  void InsideNextRead(std::string object, std::string property, std::function<void()> action);
  // The same, and the read then fails: the browser never answered it and Quellbox gave up.
  void FailNextRead(std::string object, std::string property, std::function<void()> action);

  // Every browser window made with this hub, for what the system knows of windows.
  std::set<const SimBrowser*> windows;

 private:
  struct Pending {
    std::string object, property;
    std::function<void()> action;
    bool fail;
  };
  std::vector<Pending> pending_;
  int depth_ = 0;
};

// Subscribers of one event source; a token removes its entry, even during a delivery.
template <typename Sink>
class SimSubscribers {
 public:
  std::unique_ptr<Subscription> Add(std::weak_ptr<Sink> sink);
  // Calls `f` on every live subscriber, each kept alive for its call.
  template <typename F>
  void ForEach(F f) {
    auto entries = entries_;
    for (auto& e : entries)
      if (*e.connected)
        if (auto sink = e.sink.lock()) f(*sink);
  }

 private:
  struct Entry {
    std::weak_ptr<Sink> sink;
    std::shared_ptr<bool> connected;
  };
  std::vector<Entry> entries_;
};

class SimElement : public HtmlElement {
 public:
  SimElement(SimHub& hub, std::string name) : hub_(hub), name_(std::move(name)) {}
  std::optional<std::string> TagName() override;
  std::optional<std::string> Id() override;
  std::optional<std::string> ToString() override;
  std::optional<bool> IsTextEdit() override;

  std::optional<std::string> tagName = "BODY", id = "", text = "[object]";
  std::optional<bool> isTextEdit = false;

 private:
  SimHub& hub_;
  std::string name_;
};

class SimDocument;

class SimHtmlWindow : public HtmlWindow {
 public:
  SimHtmlWindow(SimHub& hub, std::string name) : hub_(hub), name_(std::move(name)) {}
  std::shared_ptr<HtmlElement> EventSourceElement() override;
  bool ResizeTo(std::int32_t width, std::int32_t height) override;
  bool MoveTo(std::int32_t x, std::int32_t y) override;
  std::shared_ptr<HtmlDocument> Document() override;

  std::shared_ptr<SimElement> eventSource;  // null: event.srcElement cannot be read
  std::shared_ptr<SimDocument> document;    // a frame's document; null: unreachable
  std::vector<std::string> calls;           // "resizeTo 800 600", "moveTo 112 84"
  std::function<void(std::int32_t, std::int32_t)> onResize;

 private:
  SimHub& hub_;
  std::string name_;
};

class SimDocument : public HtmlDocument {
 public:
  SimDocument(SimHub& hub, std::string url);
  std::optional<std::string> Url() override;
  std::shared_ptr<HtmlElement> ActiveElement() override;
  std::shared_ptr<HtmlWindow> ParentWindow() override;
  std::optional<std::int32_t> FrameCount() override;
  std::shared_ptr<HtmlWindow> Frame(std::int32_t index) override;
  std::unique_ptr<Subscription> Subscribe(std::weak_ptr<DocumentEventSink> sink) override;

  std::optional<std::string> url;
  std::shared_ptr<SimElement> activeElement;  // null: cannot be read
  std::shared_ptr<SimHtmlWindow> window;
  std::vector<std::shared_ptr<SimHtmlWindow>> frames;
  SimSubscribers<DocumentEventSink> subscribers;  // the scenario runner raises the events

 private:
  SimHub& hub_;
};

class SimBrowser : public Browser, public std::enable_shared_from_this<SimBrowser> {
 public:
  SimBrowser(SimHub& hub, std::string name);
  ~SimBrowser() override;
  const void* Identity() const override { return this; }
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

  // The window is gone: closed by a command, quit, or its process ended. Its handle then names
  // no window; what has a COM object of it learns so through `onClosed`.
  void MarkClosed();
  // The window's process ends: every later call fails as for an object whose process is gone.
  void Crash();
  bool Crashed() const { return crashed_; }
  // Another object for the same window, as the shell's list hands out on every read of it.
  std::shared_ptr<Browser> Proxy();

  const std::string name;
  // Properties; an empty optional makes the read fail.
  std::optional<std::string> application = "Microsoft Internet Explorer";
  std::optional<std::string> locationName = "", locationUrl = "";
  std::optional<std::string> fullName = "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE";
  std::optional<bool> statusBar = true, visible = true;
  std::optional<std::int64_t> hwnd = 0;  // what reads of the handle answer
  // Over COM: IE7 and later answer get_HWND with the frame's window shared by its tabs, and
  // give the tab's own window through the shell browser's service.
  std::optional<std::int64_t> frameHwnd;
  bool tabService = true;
  std::int64_t handle = 0;  // the window as the system knows it, when a read may not say it
  std::optional<std::int32_t> width = 800, height = 600;
  std::int32_t left = 0, top = 0;  // where the window is on the desktop
  std::shared_ptr<SimDocument> document;
  std::map<std::string, std::int32_t> properties;
  bool propertiesReadable = true;
  bool forwardHistory = false;
  bool closable = true;  // false: the close command fails
  bool quittable = true;  // false: Quit fails
  std::vector<std::string> calls;  // "Visible=false", "ExecWB 45 2", "Quit", "PutProperty quellbox 7", ...
  SimSubscribers<BrowserEventSink> subscribers;  // the scenario runner raises the events
  bool closed = false;
  std::function<void()> onClosed;

 private:
  bool Answers(const char* property);  // reads through the hub; false for a failing call
  template <typename T>
  std::optional<T> Answer(const char* property, const std::optional<T>& value);
  SimHub& hub_;
  bool crashed_ = false;
  bool lost_ = false;
};

}  // namespace quellbox::sim
