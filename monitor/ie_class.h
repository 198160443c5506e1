#pragma once
// One monitor per browser window: hears the browser's events and those of the documents it
// shows, tells a user's gestures from a script's, cancels unrequested new windows and puts
// windows that scripts blew up to the screen's size back.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/browser.h"
#include "monitor/engine.h"

namespace quellbox {

class IE_Class : public BrowserEventSink, public std::enable_shared_from_this<IE_Class> {
 public:
  static constexpr int kSlots = 20;

  // Monitors live in shared_ptrs: event deliveries hold them while a handler runs.
  static std::shared_ptr<IE_Class> Create(Engine& engine);
  ~IE_Class() override;
  IE_Class(const IE_Class&) = delete;
  IE_Class& operator=(const IE_Class&) = delete;

  bool EnableForward() const { return enableForward_; }
  bool EnableBack() const { return enableBack_; }
  // Attaches the browser window: connects its events, remembers its size, hooks its document
  // during the start-up scan, probes for forward history and records its handle.
  void SetIECtl(const std::shared_ptr<Browser>& browser);
  const std::shared_ptr<Browser>& IECtl() const { return ie_; }
  // The recorded handle, or the browser's "quellbox" property when there is none (0 when that
  // cannot be read either, or the handle could not be read).
  std::int32_t IEHandle() { return ReadIEHandle().value_or(0); }
  std::optional<std::int32_t> ReadIEHandle();
  std::int32_t RecordedHandle() const { return handle_; }
  // The browser's "quellbox" property. Only Quellbox writes it, and only once, so a stored id
  // once read or written is remembered.
  std::optional<std::int32_t> QuellboxProperty();
  void RememberQuellboxProperty(std::int32_t value);

  void BeforeNavigate2(const std::string& url, bool& cancel) override;
  void CommandStateChange(std::int32_t command, bool enable) override;
  void DocumentComplete(const std::shared_ptr<Browser>& frame, const std::string& url) override;
  void DownloadComplete() override;
  void NavigateComplete2(const std::string& url) override;
  void NewWindow2(bool& cancel) override;
  void NewWindow3(bool& cancel, std::uint32_t flags, const std::string& opener, const std::string& url) override;
  void OnQuit() override;

  // Document hooks: the twenty slots form a ring filled at NextSlot.
  void HookDocument(const std::shared_ptr<HtmlDocument>& document);
  std::string DocumentUrl(int slot);
  bool HandleContextMenu();
  void HandleMouseUp(const std::shared_ptr<HtmlDocument>& document);
  bool HandleClick();

  std::int16_t NextSlot() const { return nextSlot_; }
  const std::shared_ptr<HtmlDocument>& SlotDocument(int slot) const { return slots_[slot].document; }
  bool RaisedGesture() const { return raisedGesture_; }
  // The window said it quits (OnQuit): evidence that the monitor can go.
  bool HeardQuit() const { return quit_; }

 private:
  explicit IE_Class(Engine& engine);
  class SlotSink;
  struct Slot {
    std::shared_ptr<HtmlDocument> document;
    std::shared_ptr<SlotSink> sink;
    std::unique_ptr<Subscription> events;
  };

  void HookDocumentAt(const std::shared_ptr<HtmlDocument>& document, int depth);
  bool ReadHandle();
  void NormalizeWindow();
  PopupFlags& Flags() { return engine_.state.flags; }

  Engine& engine_;
  std::shared_ptr<Browser> ie_;
  std::unique_ptr<Subscription> ieEvents_;
  std::int32_t handle_ = 0;
  bool handleRead_ = false;
  std::optional<std::int32_t> quellboxProperty_;
  bool enableForward_ = false;
  bool enableBack_ = false;
  std::array<Slot, kSlots> slots_;
  std::int16_t nextSlot_ = 0;
  bool raisedGesture_ = false;
  bool quit_ = false;
  // NewWindow3 tells the address of the request NewWindow2 decided, after it or before it.
  struct Address {
    std::string url;
    std::uint32_t flags = 0;
  };
  std::optional<Address> earlyAddress_;  // came before its NewWindow2
  std::optional<std::uint64_t> awaitingAddress_;  // the last NewWindow2's entry (0: none listed)
};

}  // namespace quellbox
