#include "platform/win32/dialog_window.h"

#include "platform/win32/com.h"
#include "platform/win32/failures.h"
#include "platform/win32/handles.h"
#include "platform/win32/win_dialogs.h"
#include "platform/win32/win_ui.h"

namespace quellbox::win32 {
namespace {

std::wstring ClassOf(HWND control) {
  wchar_t name[64] = {};
  GetClassNameW(control, name, 64);
  return name;
}

LONG_PTR ButtonKind(HWND control) { return GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK; }

bool IsToggle(HWND control) {
  LONG_PTR kind = ButtonKind(control);
  return kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX || kind == BS_AUTORADIOBUTTON || kind == BS_RADIOBUTTON;
}

std::string WindowText(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  int n = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
  return Narrow(text.c_str(), static_cast<std::size_t>(n > 0 ? n : 0));
}

int Dpi() {
  WindowDc screen(nullptr);
  int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

// Twips (1/1440 inch) and pixels at the screen's resolution.
int ToTwips(int pixels) { return MulDiv(pixels, 1440, Dpi()); }
int ToPixels(int twips) { return MulDiv(twips, Dpi(), 1440); }

}  // namespace

Control* DialogWindow::ControlFor(HWND control) const {
  int id = GetDlgCtrlID(control);
  for (Control& c : form->Controls)
    if (c.Id && c.Id == id) return &c;
  return nullptr;
}

bool DialogWindow::ContainerVisible(std::string container) const {
  while (!container.empty()) {
    const Control* c = form->Get(container);
    if (!c) return true;
    if (!c->Visible) return false;
    container = c->In;
  }
  return true;
}

POINT DialogWindow::AbsoluteOrigin(std::string container) const {
  POINT p{0, 0};
  while (!container.empty()) {
    const Control* c = form->Get(container);
    if (!c) break;
    p.x += c->Left;
    p.y += c->Top;
    container = c->In;
  }
  return p;
}

// Reads the template's layout into the form, in twips relative to each control's container.
void DialogWindow::ReadGeometry() {
  RECT window;
  GetWindowRect(hwnd, &window);
  form->Width = ToTwips(window.right - window.left);
  form->Height = ToTwips(window.bottom - window.top);
  // Containers first: a form declares every container before what it holds.
  for (Control& c : form->Controls) {
    if (!c.Id) continue;
    RECT r;
    GetWindowRect(GetDlgItem(hwnd, c.Id), &r);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    POINT origin = AbsoluteOrigin(c.In);
    c.Left = ToTwips(r.left) - origin.x;
    c.Top = ToTwips(r.top) - origin.y;
    c.Width = ToTwips(r.right - r.left);
    c.Height = ToTwips(r.bottom - r.top);
  }
}

void DialogWindow::ApplyGeometry() {
  for (const Control& c : form->Controls) {
    if (!c.Id) continue;
    POINT origin = AbsoluteOrigin(c.In);
    MoveWindow(GetDlgItem(hwnd, c.Id), ToPixels(origin.x + c.Left), ToPixels(origin.y + c.Top),
               ToPixels(c.Width), ToPixels(c.Height), FALSE);
  }
  // The templates clip their children, so the children must be told to paint themselves.
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The smallest size the form's resize rule allows: what it makes of a window of no size.
void DialogWindow::ReadMinimumSize() {
  int width = form->Width, height = form->Height;
  form->Width = form->Height = 0;
  form->Form_Resize();
  minWidth_ = form->Width > 0 ? ToPixels(form->Width) : 0;
  minHeight_ = form->Height > 0 ? ToPixels(form->Height) : 0;
  form->Width = width;
  form->Height = height;
  ReadGeometry();  // the rule moved the controls of the model; the window is as it was
}

void DialogWindow::Push() {
  std::wstring title = Wide(form->Caption);
  SetWindowTextW(hwnd, title.c_str());
  for (const Control& c : form->Controls) {
    HWND h = c.Id ? GetDlgItem(hwnd, c.Id) : nullptr;
    if (!h) continue;
    std::wstring kind = ClassOf(h);
    if (kind == L"Button" || kind == L"Static") {
      bool bitmap = kind == L"Static" && (GetWindowLongPtrW(h, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
      if (!bitmap && c.HasCaption) {
        std::wstring caption = Wide(c.Caption);
        SetWindowTextW(h, caption.c_str());
      }
      if (kind == L"Button" && IsToggle(h)) CheckDlgButton(hwnd, c.Id, c.Value ? BST_CHECKED : BST_UNCHECKED);
    } else if (kind == L"Edit") {
      if (WindowText(h) != c.Text) SetWindowTextW(h, Wide(c.Text).c_str());
    } else if (kind == L"ListBox" || kind == L"ComboBox") {
      bool list = kind == L"ListBox";
      if (items_[c.Id] != c.Items) {
        SendMessageW(h, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
        for (const auto& item : c.Items)
          SendMessageW(h, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
        items_[c.Id] = c.Items;
      }
      SendMessageW(h, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(c.ListIndex), 0);
    } else if (kind == WC_TABCONTROLW) {
      std::wstring caption = Wide(c.Caption);
      TCITEMW tab{};
      tab.mask = TCIF_TEXT;
      tab.pszText = caption.data();
      if (SendMessageW(h, TCM_GETITEMCOUNT, 0, 0) == 0) SendMessageW(h, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab));
      else SendMessageW(h, TCM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tab));
    }
    EnableWindow(h, c.Enabled);
    // A frame without a caption only groups its controls; it draws nothing.
    bool layoutOnly = kind == L"Button" && ButtonKind(h) == BS_GROUPBOX && c.Caption.empty();
    ShowWindow(h, c.Visible && ContainerVisible(c.In) && !layoutOnly ? SW_SHOWNA : SW_HIDE);
    Tip(h, c.ToolTipText);
  }
  InvalidateRect(hwnd, nullptr, FALSE);
}

void DialogWindow::Tip(HWND control, const std::string& text) {
  if (text.empty() && !tooltip_) return;
  if (!tooltip_) {
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, nullptr, nullptr);
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
  }
  std::wstring wide = Wide(text);
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = hwnd;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = wide.data();
  if (!tipped_[control]) {
    if (text.empty()) return;
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    tipped_[control] = true;
  } else {
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  }
}

// Reads what the user changed in one control into the form.
void DialogWindow::Pull(HWND control, Control& c) {
  std::wstring kind = ClassOf(control);
  if (kind == L"Button" && IsToggle(control)) {
    // A radio button clears its group: read every toggle back.
    for (Control& other : form->Controls) {
      HWND h = other.Id ? GetDlgItem(hwnd, other.Id) : nullptr;
      if (h && ClassOf(h) == L"Button" && IsToggle(h)) other.Value = IsDlgButtonChecked(hwnd, other.Id) == BST_CHECKED;
    }
  } else if (kind == L"ListBox") {
    c.ListIndex = static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
  } else if (kind == L"ComboBox") {
    c.ListIndex = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
  } else if (kind == L"Edit") {
    c.Text = WindowText(control);
  }
}

void DialogWindow::Attach(const std::shared_ptr<Dialog>& dialog) {
  form = dialog.get();
  owner_ = dialog;
  dialog->window = shared_from_this();
}

HWND DialogWindow::ControlOf(const std::string& control, int index) const {
  const Control* c = form->Get(control, index);
  return c && c->Id ? GetDlgItem(hwnd, c->Id) : nullptr;
}

INT_PTR CALLBACK DialogWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* window = reinterpret_cast<DialogWindow*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    window->hwnd = hwnd;
    auto owner = window->Owner();
    auto keep = window->shared_from_this();
    return owner ? window->Init() : FALSE;
  }
  auto* window = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!window) return FALSE;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    window->hwnd = nullptr;
    return FALSE;
  }
  // The form and its window are held until the handler returns: a handler may unload them.
  auto owner = window->Owner();
  if (!owner) return FALSE;
  auto keep = window->shared_from_this();
  try {
    return window->Handle(msg, wParam, lParam);
  } catch (...) {
    TraceCaught("a dialog");
    return FALSE;  // nothing thrown may reach the system
  }
}

INT_PTR DialogWindow::Init() {
  try {
    ReadGeometry();
    ReadMinimumSize();
    OnCreate();
    form->Form_Load();
    Push();
    return OnLoaded() ? TRUE : FALSE;
  } catch (...) {
    TraceCaught("a dialog's start");
    return TRUE;
  }
}

INT_PTR DialogWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND: {
      HWND control = reinterpret_cast<HWND>(lParam);
      if (!control) {
        if (LOWORD(wParam) == IDCANCEL) dialogs_.Unload(form->Name);
        return TRUE;
      }
      Control* c = ControlFor(control);
      if (!c) return FALSE;
      WORD code = HIWORD(wParam);
      std::wstring kind = ClassOf(control);
      bool click = (kind == L"Button" && code == BN_CLICKED) || (kind == L"Static" && code == STN_CLICKED) ||
                   (kind == L"ListBox" && code == LBN_SELCHANGE) || (kind == L"ComboBox" && code == CBN_SELCHANGE);
      Pull(control, *c);
      // A radio button reports its clearing too: only the one chosen is a click.
      if (click && !(kind == L"Button" && ButtonKind(control) == BS_AUTORADIOBUTTON && !c->Value)) {
        std::string name = c->Name;  // the handler may change the form's controls
        form->Click(name, c->Index);
      }
      dialogs_.PushAll();
      return TRUE;
    }
    case WM_NOTIFY:
      if (!OnNotify(*reinterpret_cast<NMHDR*>(lParam), lParam)) return FALSE;
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
      return TRUE;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (minWidth_) info->ptMinTrackSize.x = minWidth_;
      if (minHeight_) info->ptMinTrackSize.y = minHeight_;
      return TRUE;
    }
    case WM_HELP: {
      const Control* c = ControlFor(GetFocus());
      form->ActiveControl = c ? c->Name : "";
      form->ActiveIndex = c ? c->Index : -1;
      int key = kKeyF1;
      form->Form_KeyDown(key);
      return TRUE;
    }
    case WM_SETCURSOR:
      if (!OnSetCursor(reinterpret_cast<HWND>(wParam))) return FALSE;
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: {
      auto brush = OnColor(msg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
      return brush ? reinterpret_cast<INT_PTR>(*brush) : FALSE;
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED && resized_) {
        RECT window;
        GetWindowRect(hwnd, &window);
        form->Width = ToTwips(window.right - window.left);
        form->Height = ToTwips(window.bottom - window.top);
        form->Form_Resize();
        ApplyGeometry();
      }
      resized_ = true;
      return FALSE;
    case WM_CLOSE:
      dialogs_.Unload(form->Name);
      return TRUE;
    default:
      return FALSE;
  }
}

std::shared_ptr<DialogWindow> MakePlainWindow(WinDialogs& dialogs, const DialogLayout& layout) {
  return std::make_shared<DialogWindow>(dialogs, layout);
}

}  // namespace quellbox::win32
