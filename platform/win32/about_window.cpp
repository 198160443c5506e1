// The About box: white text on dark blue, and links that light up under the mouse.
#include "platform/win32/dialog_window.h"
#include "platform/win32/handles.h"
#include "ui/about_form.h"

namespace quellbox::win32 {
namespace {

constexpr COLORREF kBackground = RGB(28, 44, 92);

class AboutWindow final : public DialogWindow {
 public:
  using DialogWindow::DialogWindow;

 protected:
  std::optional<HBRUSH> OnColor(UINT msg, HDC dc, HWND control) override {
    if (msg == WM_CTLCOLORBTN) return std::nullopt;
    if (!brush_) brush_.reset(CreateSolidBrush(kBackground));
    if (msg == WM_CTLCOLORSTATIC) {
      const Control* c = ControlFor(control);
      SetTextColor(dc, c && c->ForeColor ? static_cast<COLORREF>(c->ForeColor) : RGB(255, 255, 255));
      SetBkMode(dc, TRANSPARENT);
    }
    return brush_.get();
  }
  bool OnSetCursor(HWND control) override {
    const Control* c = ControlFor(control);
    auto& about = static_cast<FrmAbout&>(*form);  // made for FrmAbout only
    std::string over = c ? c->Name : "";
    if (over != hovered_) {  // only a change of link needs the colours repainted
      hovered_ = over;
      about.MouseMove(over);
      InvalidateRect(hwnd, nullptr, FALSE);
    }
    SetCursor(LoadCursor(nullptr, about.linkPointer ? IDC_HAND : IDC_ARROW));
    return true;
  }

 private:
  UniqueBrush brush_;
  std::string hovered_;  // the control under the mouse
};

}  // namespace

std::shared_ptr<DialogWindow> MakeAboutWindow(WinDialogs& dialogs, const DialogLayout& layout) {
  return std::make_shared<AboutWindow>(dialogs, layout);
}

}  // namespace quellbox::win32
