#include "platform/sim/sim_browser.h"

namespace quellbox::sim {
namespace {

class SimSubscription : public Subscription {
 public:
  SimSubscription(std::shared_ptr<bool> connected, std::shared_ptr<int> unadvised)
      : connected_(std::move(connected)), unadvised_(std::move(unadvised)) {}
  ~SimSubscription() override {
    *connected_ = false;
    ++*unadvised_;
  }

 private:
  std::shared_ptr<bool> connected_;
  std::shared_ptr<int> unadvised_;
};

template <typename T>
std::optional<T> Read(SimHub& hub, const std::string& object, const char* property,
                      const std::optional<T>& value) {
  hub.Read(object, property);
  return value;
}

}  // namespace

void SimHub::Read(const std::string& object, const std::string& property) {
  ++reads;
  for (std::size_t i = 0; i < pending_.size(); ++i) {
    if ((pending_[i].object.empty() || pending_[i].object == object) &&
        pending_[i].property == property) {
      auto action = std::move(pending_[i].action);
      pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(i));
      action();  // may read again, and so run further pending actions
      return;
    }
  }
}

void SimHub::InsideNextRead(std::string object, std::string property, std::function<void()> action) {
  pending_.push_back({std::move(object), std::move(property), std::move(action)});
}

template <typename Sink>
std::unique_ptr<Subscription> SimSubscribers<Sink>::Add(std::weak_ptr<Sink> sink) {
  auto connected = std::make_shared<bool>(true);
  entries_.push_back({std::move(sink), connected});
  return std::make_unique<SimSubscription>(connected, unadvised_);
}

template <typename Sink>
int SimSubscribers<Sink>::Count() const {
  int n = 0;
  for (const auto& e : entries_) n += *e.connected && !e.sink.expired();
  return n;
}

template class SimSubscribers<DocumentEventSink>;
template class SimSubscribers<BrowserEventSink>;
template class SimSubscribers<ShellWindowsEventSink>;

std::optional<std::string> SimElement::TagName() { return Read(hub_, name_, "tagName", tagName); }
std::optional<std::string> SimElement::Id() { return Read(hub_, name_, "id", id); }
std::optional<std::string> SimElement::ToString() { return Read(hub_, name_, "toString", text); }
std::optional<bool> SimElement::IsTextEdit() { return Read(hub_, name_, "isTextEdit", isTextEdit); }

std::shared_ptr<HtmlElement> SimHtmlWindow::EventSourceElement() {
  hub_.Read(name_, "event.srcElement");
  return eventSource;
}

bool SimHtmlWindow::ResizeTo(std::int32_t width, std::int32_t height) {
  hub_.Read(name_, "resizeTo");
  if (!scriptable) return false;
  calls.push_back("resizeTo " + std::to_string(width) + " " + std::to_string(height));
  if (onResize) onResize(width, height);
  return true;
}

bool SimHtmlWindow::MoveTo(std::int32_t x, std::int32_t y) {
  hub_.Read(name_, "moveTo");
  if (!scriptable) return false;
  calls.push_back("moveTo " + std::to_string(x) + " " + std::to_string(y));
  return true;
}

std::shared_ptr<HtmlDocument> SimHtmlWindow::Document() {
  hub_.Read(name_, "document");
  return document;
}

SimDocument::SimDocument(SimHub& hub, std::string address)
    : url(std::move(address)), hub_(hub) {
  window = std::make_shared<SimHtmlWindow>(hub_, "window of " + url.value_or(""));
}

std::optional<std::string> SimDocument::Url() { return Read(hub_, url.value_or("?"), "url", url); }

std::shared_ptr<HtmlElement> SimDocument::ActiveElement() {
  hub_.Read(url.value_or("?"), "activeElement");
  return activeElement;
}

std::shared_ptr<HtmlWindow> SimDocument::ParentWindow() {
  hub_.Read(url.value_or("?"), "parentWindow");
  return window;
}

std::optional<std::int32_t> SimDocument::FrameCount() {
  hub_.Read(url.value_or("?"), "frames.length");
  if (!framesReadable) return std::nullopt;
  return static_cast<std::int32_t>(frames.size());
}

std::shared_ptr<HtmlWindow> SimDocument::Frame(std::int32_t index) {
  hub_.Read(url.value_or("?"), "frames.item");
  if (index < 0 || static_cast<std::size_t>(index) >= frames.size()) return nullptr;
  return frames[static_cast<std::size_t>(index)];
}

std::unique_ptr<Subscription> SimDocument::Subscribe(std::weak_ptr<DocumentEventSink> sink) {
  return subscribers.Add(std::move(sink));
}

bool SimDocument::FireContextMenu() {
  bool result = true;
  subscribers.ForEach([&](DocumentEventSink& s) { result = s.OnContextMenu(); });
  return result;
}

void SimDocument::FireMouseUp(const std::shared_ptr<SimElement>& target) {
  window->eventSource = target;
  subscribers.ForEach([](DocumentEventSink& s) { s.OnMouseUp(); });
}

bool SimDocument::FireClick() {
  bool result = true;
  subscribers.ForEach([&](DocumentEventSink& s) { result = s.OnClick(); });
  return result;
}

SimBrowser::SimBrowser(SimHub& hub, std::string objectName) : name(std::move(objectName)), hub_(hub) {}

std::optional<std::string> SimBrowser::Application() { return Read(hub_, name, "Application", application); }
std::optional<std::string> SimBrowser::LocationName() { return Read(hub_, name, "LocationName", locationName); }
std::optional<std::string> SimBrowser::LocationURL() { return Read(hub_, name, "LocationURL", locationUrl); }
std::optional<std::string> SimBrowser::FullName() { return Read(hub_, name, "FullName", fullName); }
std::optional<bool> SimBrowser::StatusBar() { return Read(hub_, name, "StatusBar", statusBar); }
std::optional<bool> SimBrowser::Visible() { return Read(hub_, name, "Visible", visible); }
std::optional<std::int64_t> SimBrowser::Hwnd() { return Read(hub_, name, "HWND", hwnd); }
std::optional<std::int32_t> SimBrowser::Width() { return Read(hub_, name, "Width", width); }
std::optional<std::int32_t> SimBrowser::Height() { return Read(hub_, name, "Height", height); }

bool SimBrowser::SetVisible(bool value) {
  hub_.Read(name, "Visible=");
  if (closed) return false;
  calls.push_back(std::string("Visible=") + (value ? "true" : "false"));
  visible = value;
  return true;
}

std::shared_ptr<HtmlDocument> SimBrowser::Document() {
  hub_.Read(name, "Document");
  return documentReadable ? document : nullptr;
}

std::optional<std::int32_t> SimBrowser::GetProperty(const std::string& property) {
  hub_.Read(name, "GetProperty " + property);
  if (!propertiesReadable) return std::nullopt;
  auto it = properties.find(property);
  return it == properties.end() ? 0 : it->second;
}

bool SimBrowser::PutProperty(const std::string& property, std::int32_t value) {
  hub_.Read(name, "PutProperty " + property);
  if (!propertiesReadable) return false;
  calls.push_back("PutProperty " + property + " " + std::to_string(value));
  properties[property] = value;
  return true;
}

bool SimBrowser::GoForward() {
  hub_.Read(name, "GoForward");
  if (!forwardHistory) return false;
  calls.push_back("GoForward");
  return true;
}

bool SimBrowser::ExecWB(std::int32_t command, std::int32_t option) {
  hub_.Read(name, "ExecWB");
  if (closed) return false;
  if (command == 45 && !closable) {
    calls.push_back("ExecWB " + std::to_string(command) + " " + std::to_string(option) + " refused");
    return false;
  }
  calls.push_back("ExecWB " + std::to_string(command) + " " + std::to_string(option));
  if (command == 45) closed = true;
  return true;
}

bool SimBrowser::Quit() {
  hub_.Read(name, "Quit");
  if (closed) return false;
  if (!quittable) {
    calls.push_back("Quit refused");
    return false;
  }
  calls.push_back("Quit");
  closed = true;
  return true;
}

std::unique_ptr<Subscription> SimBrowser::Subscribe(std::weak_ptr<BrowserEventSink> sink) {
  return subscribers.Add(std::move(sink));
}

bool SimBrowser::FireBeforeNavigate2(const std::string& url) {
  bool cancel = false;
  NavigationArgs args{url, 0, "", "", ""};
  std::shared_ptr<Browser> self = shared_from_this();  // pDisp: this window
  subscribers.ForEach([&](BrowserEventSink& s) { s.BeforeNavigate2(self, args, cancel); });
  return cancel;
}

void SimBrowser::FireCommandStateChange(std::int32_t command, bool enable) {
  subscribers.ForEach([&](BrowserEventSink& s) { s.CommandStateChange(command, enable); });
}

void SimBrowser::FireDocumentComplete(const std::shared_ptr<SimBrowser>& frame, const std::string& url) {
  subscribers.ForEach([&](BrowserEventSink& s) { s.DocumentComplete(frame, url); });
}

void SimBrowser::FireDownloadComplete() {
  subscribers.ForEach([](BrowserEventSink& s) { s.DownloadComplete(); });
}

void SimBrowser::FireNavigateComplete2(const std::string& url) {
  std::shared_ptr<Browser> self = shared_from_this();
  subscribers.ForEach([&](BrowserEventSink& s) { s.NavigateComplete2(self, url); });
}

bool SimBrowser::FireNewWindow2() {
  bool cancel = false;
  subscribers.ForEach([&](BrowserEventSink& s) { s.NewWindow2(cancel); });
  return cancel;
}

void SimBrowser::FireOnQuit() {
  subscribers.ForEach([](BrowserEventSink& s) { s.OnQuit(); });
}

}  // namespace quellbox::sim
