#include "monitor/ie_class.h"

#include <cmath>
#include <utility>

#include "core/convert.h"
#include "core/trust.h"

namespace quellbox {
namespace {

constexpr std::int32_t kOleCmdStopDownload = 30;
constexpr std::int32_t kNavigateForward = 1;  // CSC_NAVIGATEFORWARD
constexpr std::int32_t kNavigateBack = 2;     // CSC_NAVIGATEBACK
// Real pages nest frames a few levels deep; a cap keeps a hostile nesting from the stack.
constexpr int kMaxFrameDepth = 32;

std::int32_t HalfToEven(double value) { return static_cast<std::int32_t>(std::nearbyint(value)); }

}  // namespace

// Hears one slot's document and hands its events to the monitor, if the monitor still lives.
class IE_Class::SlotSink : public DocumentEventSink {
 public:
  SlotSink(std::weak_ptr<IE_Class> monitor, std::shared_ptr<HtmlDocument> document)
      : monitor_(std::move(monitor)), document_(std::move(document)) {}
  bool OnContextMenu() override {
    auto monitor = monitor_.lock();
    return monitor ? monitor->HandleContextMenu() : true;
  }
  void OnMouseUp() override {
    if (auto monitor = monitor_.lock()) monitor->HandleMouseUp(document_);
  }
  bool OnClick() override {
    if (auto monitor = monitor_.lock()) return monitor->HandleClick();
    return true;
  }

 private:
  std::weak_ptr<IE_Class> monitor_;
  std::shared_ptr<HtmlDocument> document_;
};

std::shared_ptr<IE_Class> IE_Class::Create(Engine& engine) {
  return std::shared_ptr<IE_Class>(new IE_Class(engine));
}

IE_Class::IE_Class(Engine& engine) : engine_(engine) {}

IE_Class::~IE_Class() = default;  // the tokens disconnect the browser and every slot

void IE_Class::SetIECtl(const std::shared_ptr<Browser>& browser) {
  auto self = shared_from_this();  // the reads below may deliver events that drop this monitor
  ie_ = browser;
  ieEvents_ = browser ? browser->Subscribe(weak_from_this()) : nullptr;
  if (!browser) return;
  Flags().ForwardProbePending = true;
  if (auto h = browser->Height()) Flags().RestoreHeight = *h;
  if (auto w = browser->Width()) Flags().RestoreWidth = *w;
  if (auto document = browser->Document(); document && Flags().InitialScan) HookDocument(document);
  // A window attached with forward history would navigate forward: stop that download and
  // cancel the navigation it starts (ForwardProbePending stays raised).
  if (browser->GoForward()) {
    browser->ExecWB(kOleCmdStopDownload, Browser::kDontPromptUser);
  } else {
    enableForward_ = false;
    Flags().ForwardProbePending = false;
  }
  ReadHandle();
}

bool IE_Class::ReadHandle() {
  auto hwnd = ie_->Hwnd();
  if (!hwnd) return false;
  handle_ = static_cast<std::int32_t>(*hwnd);
  handleRead_ = true;
  return true;
}

std::optional<std::int32_t> IE_Class::ReadIEHandle() {
  // A handle that could not be read at attach is asked for again rather than taken for none.
  if (!handleRead_ && (!ie_ || !ReadHandle())) return std::nullopt;
  if (handle_ != 0) return handle_;
  return QuellboxProperty();
}

std::optional<std::int32_t> IE_Class::QuellboxProperty() {
  if (quellboxProperty_) return quellboxProperty_;
  auto self = shared_from_this();
  auto value = ie_ ? ie_->GetProperty(kWindowIdProperty) : std::nullopt;
  if (value && *value != 0) quellboxProperty_ = value;  // 0 means not stored yet: ask again
  return value;
}

void IE_Class::RememberQuellboxProperty(std::int32_t value) {
  if (value != 0) quellboxProperty_ = value;
}

void IE_Class::BeforeNavigate2(const std::string&, bool& cancel) {
  if (Flags().ForwardProbePending) {
    cancel = true;
    Flags().ForwardProbePending = false;
  }
  NormalizeWindow();
  // A navigation from a plain link is no request for a new window: drop the gesture. A script
  // address ("javascript:open(...)") keeps it.
  if (!ie_) return;
  auto document = ie_->Document();
  auto focused = document ? document->ActiveElement() : nullptr;
  auto text = focused ? focused->ToString() : std::nullopt;
  if (!text) return;
  std::string s = UpperAscii(*text);
  if (!s.empty() && s != "[OBJECT]" && s.find('(') == std::string::npos) {
    Flags().UserGesture = false;
    Flags().NewWindowAllowed = false;
  }
}

void IE_Class::CommandStateChange(std::int32_t command, bool enable) {
  if (command == kNavigateForward) enableForward_ = enable;
  if (command == kNavigateBack) enableBack_ = enable;
}

void IE_Class::DocumentComplete(const std::shared_ptr<Browser>& frame, const std::string&) {
  if (frame) HookDocument(frame->Document());
}

void IE_Class::DownloadComplete() {
  NormalizeWindow();
  Flags().UserGesture = false;
}

void IE_Class::NavigateComplete2(const std::string&) {
  Flags().UserGesture = false;
}

void IE_Class::OnQuit() {
  quit_ = true;
  if (!raisedGesture_) return;
  Flags().UserGesture = false;
  Flags().NewWindowAllowed = false;
  raisedGesture_ = false;
}

void IE_Class::NewWindow2(bool& cancel) {
  Settings& settings = engine_.state.settings;
  Input& input = engine_.services.input;
  // The allow key works only while the option to disable Quellbox by holding it is on.
  std::int16_t keyState = settings.Disable != 0 ? input.KeyState(settings.Keys == 0 ? kVkShift : kVkControl) : 0;

  std::string tag;
  bool textEdit = false;
  auto document = ie_ ? ie_->Document() : nullptr;
  if (auto focused = document ? document->ActiveElement() : nullptr) {
    tag = UpperAscii(focused->TagName().value_or(""));
    textEdit = focused->IsTextEdit().value_or(false);
  }

  if (settings.Normalize && ie_) {
    Input::Rect screen = input.DisplayOf(handle_);
    auto height = ie_->Height();
    auto width = ie_->Width();
    if (height && width && screen.height > *height && screen.width > *width) {
      Flags().RestoreHeight = *height;
      Flags().RestoreWidth = *width;
    }
  }

  // A plug-in object with the focus (not a text field) opens windows at the user's request.
  bool unrequested = !Flags().UserGesture && keyState >= 0 && (tag != "OBJECT" || textEdit);
  bool blocked = false;
  if (unrequested && settings.KillerEnabled) {
    auto url = ie_ ? ie_->LocationURL() : std::nullopt;
    if (url) cancel = blocked = RecordClosedPopup(engine_.services, engine_.state, *url);
    if (!cancel) Flags().NewWindowAllowed = true;
  } else {
    Flags().NewWindowAllowed = true;
  }
  Flags().UserGesture = false;  // one gesture lets one window through

  std::uint64_t entry = blocked ? engine_.state.blocked.Entries().front().serial : 0;
  if (auto early = std::exchange(earlyAddress_, std::nullopt)) {
    engine_.state.blocked.SetAddress(entry, early->url, early->flags);
    awaitingAddress_.reset();
  } else {
    awaitingAddress_ = entry;
  }
}

// The documentation says NewWindow3 (Windows XP SP2 and later) fires instead of NewWindow2 and
// names no order; a sink that hears both for one request pairs them here in either order. The
// decision stays with NewWindow2: this event only adds the new window's address to the entry.
void IE_Class::NewWindow3(bool&, std::uint32_t flags, const std::string&, const std::string& url) {
  if (auto entry = std::exchange(awaitingAddress_, std::nullopt)) engine_.state.blocked.SetAddress(*entry, url, flags);
  else earlyAddress_ = Address{url, flags};
}

void IE_Class::NormalizeWindow() {
  if (!ie_ || !engine_.state.settings.Normalize) return;
  // The display the window is on: a window blown up on a second display is as full as one on
  // the first, and one that merely matches the first display's size elsewhere is not.
  Input::Rect screen = engine_.services.input.DisplayOf(handle_);
  auto width = ie_->Width();
  auto height = ie_->Height();
  if (!width || !height) return;
  if (screen.height != *height && screen.width != *width) return;
  auto document = ie_->Document();
  auto window = document ? document->ParentWindow() : nullptr;
  if (!window) return;
  window->ResizeTo(Flags().RestoreWidth, Flags().RestoreHeight);
  if (auto w = ie_->Width()) width = w;
  if (auto h = ie_->Height()) height = h;
  window->MoveTo(screen.left + HalfToEven((screen.width - *width) / 2.0),
                 screen.top + HalfToEven((screen.height - *height) / 2.0));
}

void IE_Class::HookDocument(const std::shared_ptr<HtmlDocument>& document) {
  auto self = shared_from_this();
  HookDocumentAt(document, 0);
}

void IE_Class::HookDocumentAt(const std::shared_ptr<HtmlDocument>& document, int depth) {
  if (!document || depth > kMaxFrameDepth) return;
  std::array<std::string, kSlots> urls;
  for (int k = 0; k < kSlots; ++k) urls[k] = DocumentUrl(k);
  std::string url = document->Url().value_or("");
  bool hooked = false;
  if (!url.empty())
    for (const std::string& u : urls) hooked = hooked || u == url;
  if (!hooked) {
    if (nextSlot_ > kSlots - 1) nextSlot_ = 0;
    Slot& slot = slots_[nextSlot_];
    slot.events.reset();  // the previous document is no longer heard
    slot.document = document;
    slot.sink = std::make_shared<SlotSink>(weak_from_this(), document);
    slot.events = document->Subscribe(slot.sink);
    ++nextSlot_;
  }
  auto frames = document->FrameCount();
  for (std::int32_t i = 0; frames && i < *frames; ++i) {
    auto frame = document->Frame(i);
    if (frame) HookDocumentAt(frame->Document(), depth + 1);
  }
}

std::string IE_Class::DocumentUrl(int slot) {
  auto document = slots_[slot].document;  // kept alive across the read
  return document ? document->Url().value_or("") : std::string();
}

bool IE_Class::HandleContextMenu() {
  Flags().UserGesture = true;
  raisedGesture_ = true;
  bool show = !Flags().ForwardProbePending;
  Flags().ForwardProbePending = false;
  return show;
}

void IE_Class::HandleMouseUp(const std::shared_ptr<HtmlDocument>& document) {
  auto self = shared_from_this();
  // What the mouse was released on: a link, image or plug-in, or anything with an id that is
  // more than a plain "[object]", counts as asking for a window. An unreadable element too.
  bool examined = false, linkLike = false;
  auto window = document ? document->ParentWindow() : nullptr;
  if (auto element = window ? window->EventSourceElement() : nullptr) {
    auto id = element->Id();
    auto text = element->ToString();
    auto tag = element->TagName();
    if (id && text && tag) {
      examined = true;
      linkLike = (!id->empty() && *text != "[object]") || *tag == "A" || *tag == "IMG" ||
                 *tag == "OBJECT";
    }
  }
  if (!examined || linkLike) {
    Flags().UserGesture = true;
    Flags().NewWindowAllowed = true;
  } else {
    auto focused = document ? document->ActiveElement() : nullptr;
    auto tag = focused ? focused->TagName() : std::nullopt;
    bool gesture = !tag || UpperAscii(*tag) == "A" || UpperAscii(*tag) == "INPUT";
    Flags().UserGesture = gesture;
    Flags().NewWindowAllowed = gesture;
  }
}

bool IE_Class::HandleClick() {
  if (raisedGesture_) {
    Flags().UserGesture = false;
    Flags().NewWindowAllowed = false;
    raisedGesture_ = false;
  }
  return true;
}

}  // namespace quellbox
