// The log viewer: its list view is virtual (owner data) and asks the form for the rows it draws,
// so that a log of any size opens at once.
#include <algorithm>

#include "platform/win32/com.h"
#include "platform/win32/dialog_window.h"
#include "platform/win32/failures.h"
#include "platform/win32/win_dialogs.h"
#include "resources/resource.h"
#include "ui/log_form.h"

namespace quellbox::win32 {
namespace {

class WinLineList : public LineList {
 public:
  explicit WinLineList(HWND list) : list_(list) {}
  void SetRowCount(std::size_t rows) override {
    SendMessageW(list_, LVM_SETITEMCOUNT, rows, LVSICF_NOSCROLL);
    SetState(-1, 0);
    InvalidateRect(list_, nullptr, TRUE);
  }
  std::optional<std::size_t> SelectedRow() override {
    auto row = SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
  }
  void Select(std::size_t row) override {
    SetState(-1, 0);
    SetState(static_cast<WPARAM>(row), LVIS_SELECTED | LVIS_FOCUSED);
  }
  void ShowRow(std::size_t row) override { SendMessageW(list_, LVM_ENSUREVISIBLE, row, FALSE); }

 private:
  void SetState(WPARAM row, UINT state) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = state;
    SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  HWND list_;
};

class LogWindow final : public DialogWindow {
 public:
  using DialogWindow::DialogWindow;
  LineList* Lines() override {
    if (!lines_ && hwnd) lines_ = std::make_unique<WinLineList>(GetDlgItem(hwnd, IDC_TXTLOG));
    return lines_.get();
  }

 protected:
  void OnCreate() override {
    HWND list = GetDlgItem(hwnd, IDC_TXTLOG);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    // One column, wider than the list: long addresses scroll instead of being cut.
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 4000;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SetWindowSubclass(list, &ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  bool OnLoaded() override {
    SetFocus(GetDlgItem(hwnd, IDC_TXTLOG));
    return false;
  }
  // The rows it draws, clicks and double-clicks.
  bool OnNotify(const NMHDR& header, LPARAM lParam) override {
    if (header.idFrom != IDC_TXTLOG) return false;
    switch (header.code) {
      case LVN_GETDISPINFOW: {  // the dialog is a Unicode window, and so is its list
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
        if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0 || item.iItem < 0) return true;
        // The list offers a buffer of its own size (260 characters): a longer row is cut to fit,
        // since converting straight into the buffer fails as a whole and leaves the row blank.
        std::wstring row = Wide(Log().RowText(static_cast<std::size_t>(item.iItem)));
        std::size_t n = std::min(row.size(), static_cast<std::size_t>(item.cchTextMax - 1));
        std::copy_n(row.data(), n, item.pszText);
        item.pszText[n] = L'\0';
        return true;
      }
      case NM_CLICK:
        // The release that ends a double-click is no click of its own: it would enable Add to
        // Trusted again, which the double-click has just disabled.
        if (doubleClickTime_ &&
            GetMessageTime() - static_cast<LONG>(doubleClickTime_) <= static_cast<LONG>(GetDoubleClickTime()))
          return true;
        Log().Click("txtLog", reinterpret_cast<NMITEMACTIVATE*>(lParam)->iItem);
        dialogs_.PushAll();
        return true;
      case NM_DBLCLK:
        doubleClickTime_ = static_cast<DWORD>(GetMessageTime());
        Log().DoubleClick("txtLog", reinterpret_cast<NMITEMACTIVATE*>(lParam)->iItem);
        dialogs_.PushAll();
        return true;
      default:
        return false;
    }
  }

 private:
  frmLog& Log() { return static_cast<frmLog&>(*form); }  // made for frmLog only

  // The list hands its Up-arrow to the form, which moves the selection itself (from no
  // selection to the last row, which the list would not do).
  static LRESULT CALLBACK ListProc(HWND list, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    if (msg == WM_NCDESTROY) {
      RemoveWindowSubclass(list, &ListProc, id);
      return DefSubclassProc(list, msg, wParam, lParam);
    }
    if (msg == WM_KEYDOWN && wParam == VK_UP) {
      auto* window = reinterpret_cast<LogWindow*>(data);
      auto owner = window->Owner();
      auto keep = window->shared_from_this();
      try {
        window->form->ControlKeyDown("txtLog", kKeyUp);
        window->Push();
      } catch (...) {
        TraceCaught("the log list");
      }
      return 0;
    }
    return DefSubclassProc(list, msg, wParam, lParam);
  }

  std::unique_ptr<WinLineList> lines_;
  DWORD doubleClickTime_ = 0;  // of the list's last double-click
};

}  // namespace

std::shared_ptr<DialogWindow> MakeLogWindow(WinDialogs& dialogs, const DialogLayout& layout) {
  return std::make_shared<LogWindow>(dialogs, layout);
}

}  // namespace quellbox::win32
