// The options dialog: its controls lie on a tab control, which draws beneath them and lends
// them its page's colours.
#include "platform/win32/dialog_window.h"
#include "resources/resource.h"

namespace quellbox::win32 {
namespace {

class OptionsWindow final : public DialogWindow {
 public:
  using DialogWindow::DialogWindow;

 protected:
  void OnCreate() override {
    SetWindowPos(GetDlgItem(hwnd, IDC_TABALL), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // The text's colour too: with a high-contrast scheme the window colour is dark and the
  // default text colour would vanish on it.
  std::optional<HBRUSH> OnColor(UINT msg, HDC dc, HWND) override {
    if (msg == WM_CTLCOLORDLG) return std::nullopt;
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
  }
};

}  // namespace

std::shared_ptr<DialogWindow> MakeOptionsWindow(WinDialogs& dialogs, const DialogLayout& layout) {
  return std::make_shared<OptionsWindow>(dialogs, layout);
}

}  // namespace quellbox::win32
