#include "platform/sim/sim_browser.h"

namespace quellbox::sim {
namespace {

class SimSubscription : public Subscription {
 public:
  explicit SimSubscription(std::shared_ptr<bool> connected) : connected_(std::move(connected)) {}
  ~SimSubscription() override { *connected_ = false; }

 private:
  std::shared_ptr<bool> connected_;
};

template <typename T>
std::optional<T> Read(SimHub& hub, const std::string& object, const char* property,
                      const std::optional<T>& value) {
  if (!hub.Read(object, property)) return std::nullopt;
  return value;
}

// Another object for the same window: what a second read of the shell's list hands out.
class SimBrowserProxy : public Browser {
 public:
  explicit SimBrowserProxy(std::shared_ptr<SimBrowser> window) : w_(std::move(window)) {}
  const void* Identity() const override { return w_->Identity(); }
  std::optional<std::string> Application() override { return w_->Application(); }
  std::optional<std::string> LocationName() override { return w_->LocationName(); }
  std::optional<std::string> LocationURL() override { return w_->LocationURL(); }
  std::optional<std::string> FullName() override { return w_->FullName(); }
  std::optional<bool> StatusBar() override { return w_->StatusBar(); }
  std::optional<bool> Visible() override { return w_->Visible(); }
  bool SetVisible(bool visible) override { return w_->SetVisible(visible); }
  std::optional<std::int64_t> Hwnd() override { return w_->Hwnd(); }
  std::optional<std::int32_t> Width() override { return w_->Width(); }
  std::optional<std::int32_t> Height() override { return w_->Height(); }
  std::shared_ptr<HtmlDocument> Document() override { return w_->Document(); }
  std::optional<std::int32_t> GetProperty(const std::string& name) override { return w_->GetProperty(name); }
  bool PutProperty(const std::string& name, std::int32_t value) override { return w_->PutProperty(name, value); }
  bool GoForward() override { return w_->GoForward(); }
  bool ExecWB(std::int32_t command, std::int32_t option) override { return w_->ExecWB(command, option); }
  bool Quit() override { return w_->Quit(); }
  std::unique_ptr<Subscription> Subscribe(std::weak_ptr<BrowserEventSink> sink) override {
    return w_->Subscribe(std::move(sink));
  }
  bool Lost() const override { return w_->Lost(); }

 private:
  std::shared_ptr<SimBrowser> w_;
};

}  // namespace

bool SimHub::Read(const std::string& object, const std::string& property) {
  ++reads;
  for (std::size_t i = 0; i < pending_.size(); ++i) {
    if ((pending_[i].object.empty() || pending_[i].object == object) &&
        pending_[i].property == property) {
      auto action = std::move(pending_[i].action);
      bool fail = pending_[i].fail;
      pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(i));
      ++depth_;
      action();  // may read again, and so run further pending actions
      --depth_;
      return !fail;
    }
  }
  return true;
}

void SimHub::InsideNextRead(std::string object, std::string property, std::function<void()> action) {
  pending_.push_back({std::move(object), std::move(property), std::move(action), false});
}

void SimHub::FailNextRead(std::string object, std::string property, std::function<void()> action) {
  pending_.push_back({std::move(object), std::move(property), std::move(action), true});
}

template <typename Sink>
std::unique_ptr<Subscription> SimSubscribers<Sink>::Add(std::weak_ptr<Sink> sink) {
  auto connected = std::make_shared<bool>(true);
  entries_.push_back({std::move(sink), connected});
  return std::make_unique<SimSubscription>(connected);
}

template class SimSubscribers<DocumentEventSink>;
template class SimSubscribers<BrowserEventSink>;
template class SimSubscribers<ShellWindowsEventSink>;

std::optional<std::string> SimElement::TagName() { return Read(hub_, name_, "tagName", tagName); }
std::optional<std::string> SimElement::Id() { return Read(hub_, name_, "id", id); }
std::optional<std::string> SimElement::ToString() { return Read(hub_, name_, "toString", text); }
std::optional<bool> SimElement::IsTextEdit() { return Read(hub_, name_, "isTextEdit", isTextEdit); }

std::shared_ptr<HtmlElement> SimHtmlWindow::EventSourceElement() {
  return hub_.Read(name_, "event.srcElement") ? eventSource : nullptr;
}

bool SimHtmlWindow::ResizeTo(std::int32_t width, std::int32_t height) {
  if (!hub_.Read(name_, "resizeTo")) return false;
  calls.push_back("resizeTo " + std::to_string(width) + " " + std::to_string(height));
  if (onResize) onResize(width, height);
  return true;
}

bool SimHtmlWindow::MoveTo(std::int32_t x, std::int32_t y) {
  if (!hub_.Read(name_, "moveTo")) return false;
  calls.push_back("moveTo " + std::to_string(x) + " " + std::to_string(y));
  return true;
}

std::shared_ptr<HtmlDocument> SimHtmlWindow::Document() {
  return hub_.Read(name_, "document") ? document : nullptr;
}

SimDocument::SimDocument(SimHub& hub, std::string address)
    : url(std::move(address)), hub_(hub) {
  window = std::make_shared<SimHtmlWindow>(hub_, "window of " + url.value_or(""));
}

std::optional<std::string> SimDocument::Url() { return Read(hub_, url.value_or("?"), "url", url); }

std::shared_ptr<HtmlElement> SimDocument::ActiveElement() {
  return hub_.Read(url.value_or("?"), "activeElement") ? activeElement : nullptr;
}

std::shared_ptr<HtmlWindow> SimDocument::ParentWindow() {
  return hub_.Read(url.value_or("?"), "parentWindow") ? window : nullptr;
}

std::optional<std::int32_t> SimDocument::FrameCount() {
  if (!hub_.Read(url.value_or("?"), "frames.length")) return std::nullopt;
  return static_cast<std::int32_t>(frames.size());
}

std::shared_ptr<HtmlWindow> SimDocument::Frame(std::int32_t index) {
  if (!hub_.Read(url.value_or("?"), "frames.item")) return nullptr;
  if (index < 0 || static_cast<std::size_t>(index) >= frames.size()) return nullptr;
  return frames[static_cast<std::size_t>(index)];
}

std::unique_ptr<Subscription> SimDocument::Subscribe(std::weak_ptr<DocumentEventSink> sink) {
  return subscribers.Add(std::move(sink));
}

SimBrowser::SimBrowser(SimHub& hub, std::string objectName) : name(std::move(objectName)), hub_(hub) {
  hub_.windows.insert(this);
}

SimBrowser::~SimBrowser() { hub_.windows.erase(this); }

bool SimBrowser::Answers(const char* property) {
  bool answered = hub_.Read(name, property);
  if (crashed_) lost_ = true;
  return answered && !crashed_;
}

template <typename T>
std::optional<T> SimBrowser::Answer(const char* property, const std::optional<T>& value) {
  if (!Answers(property)) return std::nullopt;
  return value;
}

std::optional<std::string> SimBrowser::Application() { return Answer("Application", application); }
std::optional<std::string> SimBrowser::LocationName() { return Answer("LocationName", locationName); }
std::optional<std::string> SimBrowser::LocationURL() { return Answer("LocationURL", locationUrl); }
std::optional<std::string> SimBrowser::FullName() { return Answer("FullName", fullName); }
std::optional<bool> SimBrowser::StatusBar() { return Answer("StatusBar", statusBar); }
std::optional<bool> SimBrowser::Visible() { return Answer("Visible", visible); }
std::optional<std::int64_t> SimBrowser::Hwnd() { return Answer("HWND", hwnd); }
std::optional<std::int32_t> SimBrowser::Width() { return Answer("Width", width); }
std::optional<std::int32_t> SimBrowser::Height() { return Answer("Height", height); }

void SimBrowser::MarkClosed() {
  if (closed) return;
  closed = true;
  if (onClosed) onClosed();
}

void SimBrowser::Crash() {
  crashed_ = true;
  MarkClosed();
}

std::shared_ptr<Browser> SimBrowser::Proxy() { return std::make_shared<SimBrowserProxy>(shared_from_this()); }

bool SimBrowser::SetVisible(bool value) {
  if (!Answers("Visible=") || closed) return false;
  calls.push_back(std::string("Visible=") + (value ? "true" : "false"));
  visible = value;
  return true;
}

std::shared_ptr<HtmlDocument> SimBrowser::Document() {
  if (!Answers("Document")) return nullptr;
  return document;
}

std::optional<std::int32_t> SimBrowser::GetProperty(const std::string& property) {
  if (!Answers(("GetProperty " + property).c_str()) || !propertiesReadable) return std::nullopt;
  auto it = properties.find(property);
  return it == properties.end() ? 0 : it->second;
}

bool SimBrowser::PutProperty(const std::string& property, std::int32_t value) {
  if (!Answers(("PutProperty " + property).c_str()) || !propertiesReadable) return false;
  calls.push_back("PutProperty " + property + " " + std::to_string(value));
  properties[property] = value;
  return true;
}

bool SimBrowser::GoForward() {
  if (!Answers("GoForward") || !forwardHistory) return false;
  calls.push_back("GoForward");
  return true;
}

bool SimBrowser::ExecWB(std::int32_t command, std::int32_t option) {
  if (!Answers("ExecWB") || closed) return false;
  if (command == 45 && !closable) {
    calls.push_back("ExecWB " + std::to_string(command) + " " + std::to_string(option) + " refused");
    return false;
  }
  calls.push_back("ExecWB " + std::to_string(command) + " " + std::to_string(option));
  if (command == 45) MarkClosed();
  return true;
}

bool SimBrowser::Quit() {
  if (!Answers("Quit") || closed) return false;
  if (!quittable) {
    calls.push_back("Quit refused");
    return false;
  }
  calls.push_back("Quit");
  MarkClosed();
  return true;
}

std::unique_ptr<Subscription> SimBrowser::Subscribe(std::weak_ptr<BrowserEventSink> sink) {
  if (crashed_) {
    lost_ = true;
    return nullptr;
  }
  return subscribers.Add(std::move(sink));
}

}  // namespace quellbox::sim
