#include "platform/win32/win_dialogs.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/win32/com.h"
#include "platform/win32/win_ui.h"
#include "resources/resource.h"
#include "ui/other_forms.h"

namespace quellbox::win32 {

struct ControlBinding {
  const char* name;
  int index;
  int id;
  const char* container;  // the frame or tab it lies on, positions being relative to it
};

struct DialogLayout {
  const char* form;
  int templateId;
  std::vector<ControlBinding> controls;
};

namespace {

const DialogLayout kLayouts[] = {
    {"frmOptions", IDD_OPTIONS, {
         {"tabAll", -1, IDC_TABALL, nullptr}, {"Frame1", -1, IDC_FRAME1, "tabAll"},
         {"chkStartup", -1, IDC_CHKSTARTUP, "Frame1"}, {"chkKeepLog", -1, IDC_CHKKEEPLOG, "Frame1"},
         {"chkDisable", -1, IDC_CHKDISABLE, "Frame1"}, {"cmboKeys", -1, IDC_CMBOKEYS, "Frame1"},
         {"chkFullScreen", -1, IDC_CHKFULLSCREEN, "Frame1"}, {"chkSpyware", -1, IDC_CHKSPYWARE, "Frame1"},
         {"optStrict", -1, IDC_OPTSTRICT, "Frame1"}, {"optLight", -1, IDC_OPTLIGHT, "Frame1"},
         {"Frame2", -1, IDC_FRAME2, "tabAll"}, {"optSound", 0, IDC_OPTSOUND0, "Frame2"},
         {"optSound", 1, IDC_OPTSOUND1, "Frame2"}, {"optSound", 2, IDC_OPTSOUND2, "Frame2"},
         {"Frame3", -1, IDC_FRAME3, "Frame2"}, {"Label3", -1, IDC_LABEL3, "Frame3"},
         {"lblFile", -1, IDC_LBLFILE, "Frame3"}, {"cmdGetFile", -1, IDC_CMDGETFILE, "Frame3"},
         {"cmdTestFile", -1, IDC_CMDTESTFILE, "Frame3"}, {"Frame6", -1, IDC_FRAME6, "tabAll"},
         {"label8", -1, IDC_LABEL8, "Frame6"}, {"Label9", -1, IDC_LABEL9, "Frame6"},
         {"Frame5", -1, IDC_FRAME5, nullptr}, {"cmdClose", -1, IDC_CMDCLOSE, "Frame5"},
         {"cmdHelp", -1, IDC_CMDHELP, "Frame5"}}},
    {"frmLog", IDD_LOG, {
         {"Label1", -1, IDC_LOG_LABEL1, nullptr}, {"Label7", -1, IDC_LOG_LABEL7, nullptr},
         {"Label10", -1, IDC_LOG_LABEL10, nullptr}, {"txtLog", -1, IDC_TXTLOG, nullptr},
         {"Frame1", -1, IDC_LOG_FRAME1, nullptr}, {"cmdRefreshLog", -1, IDC_CMDREFRESHLOG, "Frame1"},
         {"cmdClearLog", -1, IDC_CMDCLEARLOG, "Frame1"}, {"cmdAddtoTrusted", -1, IDC_CMDADDTOTRUSTED, "Frame1"},
         {"cmdHelp", -1, IDC_CMDHELP, "Frame1"}, {"cmdClose", -1, IDC_CMDCLOSE, "Frame1"}}},
    {"frmTrustedSites", IDD_TRUSTED, {
         {"Label1", -1, IDC_TS_LABEL1, nullptr}, {"Label6", -1, IDC_TS_LABEL6, nullptr},
         {"lstHosts", -1, IDC_LSTHOSTS, nullptr}, {"cmdAddSite", -1, IDC_CMDADDSITE, nullptr},
         {"cmdRemoveSite", -1, IDC_CMDREMOVESITE, nullptr}, {"cmdClose", -1, IDC_CMDCLOSE, nullptr},
         {"cmdHelp", -1, IDC_CMDHELP, nullptr}}},
    {"frmAdd", IDD_ADD, {
         {"Frame1", -1, IDC_ADD_FRAME1, nullptr}, {"Label2", -1, IDC_ADD_LABEL2, nullptr},
         {"txtsite", -1, IDC_TXTSITE, nullptr}, {"Label1", -1, IDC_ADD_LABEL1, nullptr},
         {"cmdOK", -1, IDC_CMDOK, nullptr}, {"cmdCancel", -1, IDC_CMDCANCEL, nullptr},
         {"cmdHelp", -1, IDC_CMDHELP, nullptr}}},
    {"FrmAbout", IDD_ABOUT, {
         {"Frame1", -1, IDC_AB_FRAME1, nullptr}, {"Picture1", -1, IDC_AB_PICTURE1, nullptr},
         {"Label3", -1, IDC_AB_LABEL3, nullptr}, {"Label1", -1, IDC_AB_LABEL1, nullptr},
         {"lblVersion", -1, IDC_LBLVERSION, nullptr}, {"Label4", -1, IDC_AB_LABEL4, nullptr},
         {"Label5", -1, IDC_AB_LABEL5, nullptr}, {"Label6", -1, IDC_AB_LABEL6, nullptr},
         {"label8", -1, IDC_AB_LABEL8, nullptr}, {"Label7", -1, IDC_AB_LABEL7, nullptr},
         {"Label9", -1, IDC_AB_LABEL9, nullptr}, {"Label2", -1, IDC_AB_LABEL2, nullptr},
         {"cmdOk", -1, IDC_CMDOK, nullptr}, {"cmdHelp", -1, IDC_CMDHELP, nullptr}}},
};

const DialogLayout* LayoutOf(const std::string& form) {
  for (const DialogLayout& s : kLayouts)
    if (form == s.form) return &s;
  return nullptr;
}

std::string ClassOf(HWND control) {
  char name[64] = {};
  GetClassNameA(control, name, sizeof name);
  return name;
}

LONG_PTR ButtonKind(HWND control) { return GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK; }

bool IsToggle(HWND control) {
  LONG_PTR kind = ButtonKind(control);
  return kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX || kind == BS_AUTORADIOBUTTON || kind == BS_RADIOBUTTON;
}

std::string WindowTextA(HWND control) {
  int n = GetWindowTextLengthA(control);
  std::string text(static_cast<std::size_t>(n) + 1, '\0');
  GetWindowTextA(control, text.data(), n + 1);
  text.resize(std::char_traits<char>::length(text.c_str()));
  return text;
}

int Dpi() {
  WindowDc screen(nullptr);
  int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

int ToTwips(int pixels) { return MulDiv(pixels, 1440, Dpi()); }
int ToPixels(int twips) { return MulDiv(twips, Dpi(), 1440); }

constexpr COLORREF kAboutBackground = RGB(28, 44, 92);

}  // namespace

// The log viewer's list view: virtual (owner data), it asks the form for the rows it draws.
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

// One open dialog window and its form.
class WinDialog {
 public:
  WinDialog(std::string formName, const DialogLayout& dialogLayout) : name(std::move(formName)), layout(dialogLayout) {}
  const ControlBinding* BindingOf(HWND control) const {
    int id = GetDlgCtrlID(control);
    for (const auto& b : layout.controls)
      if (b.id == id) return &b;
    return nullptr;
  }
  const ControlBinding* BindingOf(const std::string& control, int index) const {
    for (const auto& b : layout.controls)
      if (control == b.name && index == b.index) return &b;
    return nullptr;
  }
  bool ContainerVisible(const char* container) const {
    for (; container; ) {
      const Control* c = form->Get(container);
      if (!c || !c->Visible) return !c;
      const ControlBinding* b = BindingOf(container, -1);
      container = b ? b->container : nullptr;
    }
    return true;
  }
  POINT AbsoluteOrigin(const char* container) const {
    POINT p{0, 0};
    for (; container; ) {
      const Control* c = form->Get(container);
      const ControlBinding* b = BindingOf(container, -1);
      if (!c || !b) break;
      p.x += c->Left;
      p.y += c->Top;
      container = b->container;
    }
    return p;
  }

  // Reads the template's layout into the form, in twips relative to each control's container.
  void ReadGeometry() {
    RECT window;
    GetWindowRect(hwnd, &window);
    form->Width = ToTwips(window.right - window.left);
    form->Height = ToTwips(window.bottom - window.top);
    // Containers first: the layout lists every container before what it holds.
    for (const auto& b : layout.controls) {
      RECT r;
      GetWindowRect(GetDlgItem(hwnd, b.id), &r);
      MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
      POINT origin = AbsoluteOrigin(b.container);
      Control& c = form->At(b.name, b.index);
      c.Left = ToTwips(r.left) - origin.x;
      c.Top = ToTwips(r.top) - origin.y;
      c.Width = ToTwips(r.right - r.left);
      c.Height = ToTwips(r.bottom - r.top);
    }
  }

  void ApplyGeometry() {
    for (const auto& b : layout.controls) {
      const Control& c = form->At(b.name, b.index);
      POINT origin = AbsoluteOrigin(b.container);
      MoveWindow(GetDlgItem(hwnd, b.id), ToPixels(origin.x + c.Left), ToPixels(origin.y + c.Top),
                 ToPixels(c.Width), ToPixels(c.Height), FALSE);
    }
    // The templates clip their children, so the children must be told to paint themselves.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }

  // The smallest size the form's resize rule allows: what it makes of a window of no size.
  void ReadMinimumSize() {
    int width = form->Width, height = form->Height;
    form->Width = form->Height = 0;
    form->Form_Resize();
    minWidth = form->Width > 0 ? ToPixels(form->Width) : 0;
    minHeight = form->Height > 0 ? ToPixels(form->Height) : 0;
    form->Width = width;
    form->Height = height;
    ReadGeometry();  // the rule moved the controls of the model; the window is as it was
  }

  void Push() {
    std::wstring title = UiText(form->Caption);
    SetWindowTextW(hwnd, title.c_str());
    for (const auto& b : layout.controls) {
      HWND h = GetDlgItem(hwnd, b.id);
      if (!h) continue;
      const Control& c = form->At(b.name, b.index);
      std::string kind = ClassOf(h);
      if (kind == "Button" || kind == "Static") {
        bool bitmap = kind == "Static" && (GetWindowLongPtrA(h, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
        if (!bitmap && c.HasCaption) {
          std::wstring caption = UiText(c.Caption);
          SetWindowTextW(h, caption.c_str());
        }
        if (kind == "Button" && IsToggle(h)) CheckDlgButton(hwnd, b.id, c.Value ? BST_CHECKED : BST_UNCHECKED);
      } else if (kind == "Edit") {
        if (WindowTextA(h) != c.Text) SetWindowTextA(h, c.Text.c_str());
      } else if (kind == "ListBox" || kind == "ComboBox") {
        bool list = kind == "ListBox";
        if (items[b.id] != c.Items) {
          SendMessageA(h, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
          for (const auto& item : c.Items)
            SendMessageA(h, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
          items[b.id] = c.Items;
        }
        SendMessageA(h, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(c.ListIndex), 0);
      } else if (kind == WC_TABCONTROLA) {
        std::wstring caption = UiText(c.Caption);
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = caption.data();
        if (SendMessageW(h, TCM_GETITEMCOUNT, 0, 0) == 0) SendMessageW(h, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab));
        else SendMessageW(h, TCM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tab));
      }
      EnableWindow(h, c.Enabled);
      // A frame without a caption only groups its controls; it draws nothing.
      bool layoutOnly = kind == "Button" && ButtonKind(h) == BS_GROUPBOX && c.Caption.empty();
      ShowWindow(h, c.Visible && ContainerVisible(b.container) && !layoutOnly ? SW_SHOWNA : SW_HIDE);
      Tip(h, c.ToolTipText);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
  }

  void Tip(HWND control, const std::string& text) {
    if (text.empty() && !tooltip) return;
    if (!tooltip) {
      tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, nullptr, nullptr);
      SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    std::wstring wide = UiText(text);
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = wide.data();
    if (!tipped[control]) {
      if (text.empty()) return;
      SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
      tipped[control] = true;
    } else {
      SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    }
  }

  // Reads what the user changed in one control into the form.
  void Pull(HWND control, const ControlBinding& b) {
    Control& c = form->At(b.name, b.index);
    std::string kind = ClassOf(control);
    if (kind == "Button" && IsToggle(control)) {
      // A radio button clears its group: read every toggle back.
      for (const auto& other : layout.controls) {
        HWND h = GetDlgItem(hwnd, other.id);
        if (ClassOf(h) == "Button" && IsToggle(h))
          form->At(other.name, other.index).Value = IsDlgButtonChecked(hwnd, other.id) == BST_CHECKED;
      }
    } else if (kind == "ListBox") {
      c.ListIndex = static_cast<int>(SendMessageA(control, LB_GETCURSEL, 0, 0));
    } else if (kind == "ComboBox") {
      c.ListIndex = static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0));
    } else if (kind == "Edit") {
      c.Text = WindowTextA(control);
    }
  }

  std::string name;
  const DialogLayout& layout;
  std::shared_ptr<Dialog> form;
  HWND hwnd = nullptr;
  HWND tooltip = nullptr;
  UniqueBrush brush;
  bool modal = false;
  bool resized = false;
  std::unique_ptr<WinLineList> lineList;
  int minWidth = 0, minHeight = 0;  // pixels; 0: no minimum
  std::string hovered;              // the About box's control under the mouse
  DWORD doubleClickTime = 0;        // of the log list's last double-click
  std::map<int, std::vector<std::string>> items;
  std::map<HWND, bool> tipped;
};

namespace {

// The log list hands its Up-arrow to the form, which moves the selection itself (from no
// selection to the last row, which the list would not do).
LRESULT CALLBACK LogListProc(HWND list, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
  auto* dialog = reinterpret_cast<WinDialog*>(data);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(list, &LogListProc, id);
    return DefSubclassProc(list, msg, wParam, lParam);
  }
  if (msg == WM_KEYDOWN && wParam == VK_UP) {
    try {
      dialog->form->ControlKeyDown("txtLog", kKeyUp);
      dialog->Push();
    } catch (...) {
      TraceCaught("the log list");
    }
    return 0;
  }
  return DefSubclassProc(list, msg, wParam, lParam);
}

}  // namespace

WinDialogs::WinDialogs(HINSTANCE instance, Services& services, AppState& state, MainForm& mainForm)
    : instance_(instance), services_(services), mainForm_(mainForm), context_{services, state, *this, forms_} {
  forms_.SetContext(context_);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
}

WinDialogs::~WinDialogs() { UnloadAll(); }

std::shared_ptr<WinDialog> WinDialogs::Open(const std::string& name) const {
  auto it = open_.find(name);
  return it == open_.end() ? nullptr : it->second;
}

void WinDialogs::ShowForm(const std::string& name) {
  if (auto open = Open(name)) {
    ShowWindow(open->hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(open->hwnd);
    return;
  }
  const DialogLayout* layout = LayoutOf(name);
  if (!layout) return;
  auto dialog = std::make_shared<WinDialog>(name, *layout);
  creating_ = dialog;
  HWND hwnd = nullptr;
  LOG_IF_FAILED(hwnd = CreateDialogParamW(instance_, MAKEINTRESOURCEW(layout->templateId), nullptr,
                                          &WinDialogs::Proc, reinterpret_cast<LPARAM>(this)));
  creating_.reset();
  if (!hwnd || !dialog->form) {
    if (hwnd) DestroyWindow(hwnd);
    Forget(name);
    return;
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd);
}

void WinDialogs::ShowModal(const std::string& form, const std::string& owner) {
  const DialogLayout* layout = LayoutOf(form);
  auto ownerDialog = Open(owner);
  if (!layout || Open(form)) return;
  auto dialog = std::make_shared<WinDialog>(form, *layout);
  dialog->modal = true;
  creating_ = dialog;
  DialogBoxParamW(instance_, MAKEINTRESOURCEW(layout->templateId), ownerDialog ? ownerDialog->hwnd : nullptr,
                  &WinDialogs::Proc, reinterpret_cast<LPARAM>(this));
  creating_.reset();
  Forget(form);
}

void WinDialogs::Forget(const std::string& name) {
  open_.erase(name);
  forms_.Unload(name);
}

void WinDialogs::Unload(const std::string& form) {
  auto dialog = Open(form);
  if (!dialog) return;
  if (dialog->modal) {
    EndDialog(dialog->hwnd, 0);  // ShowModal forgets it once the dialog box returns
    return;
  }
  HWND hwnd = dialog->hwnd;
  Forget(form);  // the window procedure holds the dialog until its handler returns
  DestroyWindow(hwnd);
}

void WinDialogs::UnloadAll() {
  std::vector<std::string> names;
  for (const auto& entry : open_) names.push_back(entry.first);
  for (const auto& name : names) Unload(name);
}

bool WinDialogs::PreTranslate(MSG& msg) {
  for (const auto& entry : open_)
    if (!entry.second->modal && entry.second->hwnd && IsDialogMessageW(entry.second->hwnd, &msg)) return true;
  return false;
}

bool WinDialogs::IsLoaded(const std::string& form) { return Open(form) != nullptr; }

std::optional<std::string> WinDialogs::OpenFile(const std::string& initialDirectory, const std::string& filter,
                                                const std::string& title) {
  std::string filters = filter;
  std::replace(filters.begin(), filters.end(), '|', '\0');
  filters.append(2, '\0');
  std::string file(32768, '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetActiveWindow();
  ofn.lpstrFilter = filters.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = initialDirectory.c_str();
  ofn.lpstrTitle = title.c_str();
  // The process's current folder stays: it is not the dialog's to change.
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameA(&ofn)) return std::nullopt;
  return std::string(file.c_str());
}

void WinDialogs::ReloadMenu() { mainForm_.Menu().Form_Load(); }

std::intptr_t WinDialogs::ControlWindow(const std::string& form, const std::string& control, int index) {
  auto dialog = Open(form);
  const ControlBinding* b = dialog ? dialog->BindingOf(control, index) : nullptr;
  return b ? reinterpret_cast<std::intptr_t>(GetDlgItem(dialog->hwnd, b->id)) : 0;
}

LineList* WinDialogs::LineListOf(const std::string& form, const std::string& control) {
  auto dialog = Open(form);
  if (!dialog && creating_ && creating_->name == form) dialog = creating_;
  if (!dialog || control != "txtLog" || !dialog->hwnd) return nullptr;
  if (!dialog->lineList) dialog->lineList = std::make_unique<WinLineList>(GetDlgItem(dialog->hwnd, IDC_TXTLOG));
  return dialog->lineList.get();
}

void WinDialogs::PushAll() {
  for (const auto& entry : open_)
    if (entry.second->form) entry.second->Push();
}

// The log list's notifications: the rows it draws, clicks and double-clicks.
bool WinDialogs::Notify(WinDialog& dialog, const NMHDR& header, LPARAM lParam) {
  auto* log = dynamic_cast<frmLog*>(dialog.form.get());
  if (!log || header.idFrom != IDC_TXTLOG) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW: {  // the dialog is a Unicode window, and so is its list
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
      if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0 || item.iItem < 0) return true;
      // The list offers a buffer of its own size (260 characters): a longer row is cut to fit,
      // since converting straight into the buffer fails as a whole and leaves the row blank.
      std::wstring row = Wide(log->RowText(static_cast<std::size_t>(item.iItem)));
      std::size_t n = std::min(row.size(), static_cast<std::size_t>(item.cchTextMax - 1));
      std::copy_n(row.data(), n, item.pszText);
      item.pszText[n] = L'\0';
      return true;
    }
    case NM_CLICK: {
      // The release that ends a double-click is no click of its own: it would enable Add to
      // Trusted again, which the double-click has just disabled.
      if (dialog.doubleClickTime && GetMessageTime() - static_cast<LONG>(dialog.doubleClickTime) <=
                                        static_cast<LONG>(GetDoubleClickTime()))
        return true;
      log->Click("txtLog", reinterpret_cast<NMITEMACTIVATE*>(lParam)->iItem);
      PushAll();
      return true;
    }
    case NM_DBLCLK:
      dialog.doubleClickTime = static_cast<DWORD>(GetMessageTime());
      log->DoubleClick("txtLog", reinterpret_cast<NMITEMACTIVATE*>(lParam)->iItem);
      PushAll();
      return true;
    default:
      return false;
  }
}

INT_PTR CALLBACK WinDialogs::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<WinDialogs*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    auto dialog = self->creating_;
    if (!dialog) return FALSE;
    dialog->hwnd = hwnd;
    self->open_[dialog->name] = dialog;
    try {
      // The form is created unloaded, so that loading it can use the window's controls.
      dialog->form = self->forms_.Create(dialog->name);
      if (!dialog->form) return FALSE;
      dialog->ReadGeometry();
      dialog->ReadMinimumSize();
      if (dialog->layout.templateId == IDD_OPTIONS)  // drawn under the controls that lie on it
        SetWindowPos(GetDlgItem(hwnd, IDC_TABALL), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      if (dialog->layout.templateId == IDD_LOG) {
        HWND list = GetDlgItem(hwnd, IDC_TXTLOG);
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        // One column, wider than the list: long addresses scroll instead of being cut.
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = 4000;
        SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        SetWindowSubclass(list, &LogListProc, 1, reinterpret_cast<DWORD_PTR>(dialog.get()));
      }
      dialog->form->Form_Load();
      dialog->Push();
      if (dialog->layout.templateId == IDD_LOG) {
        SetFocus(GetDlgItem(hwnd, IDC_TXTLOG));
        return FALSE;
      }
    } catch (...) {
      TraceCaught("a dialog's start");
    }
    return TRUE;
  }
  auto* self = reinterpret_cast<WinDialogs*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  std::shared_ptr<WinDialog> dialog;
  for (const auto& entry : self->open_)
    if (entry.second->hwnd == hwnd) dialog = entry.second;  // held until the handler returns
  if (!dialog || !dialog->form) return FALSE;
  auto form = dialog->form;
  try {
    switch (msg) {
      case WM_COMMAND: {
        HWND control = reinterpret_cast<HWND>(lParam);
        if (!control) {
          if (LOWORD(wParam) == IDCANCEL) self->Unload(dialog->name);
          return TRUE;
        }
        const ControlBinding* b = dialog->BindingOf(control);
        if (!b) return FALSE;
        WORD code = HIWORD(wParam);
        std::string kind = ClassOf(control);
        bool click = (kind == "Button" && code == BN_CLICKED) || (kind == "Static" && code == STN_CLICKED) ||
                     (kind == "ListBox" && code == LBN_SELCHANGE) || (kind == "ComboBox" && code == CBN_SELCHANGE);
        dialog->Pull(control, *b);
        if (click && !(kind == "Button" && ButtonKind(control) == BS_AUTORADIOBUTTON &&
                       !form->At(b->name, b->index).Value))
          form->Click(b->name, b->index);
        self->PushAll();
        return TRUE;
      }
      case WM_NOTIFY:
        if (!self->Notify(*dialog, *reinterpret_cast<NMHDR*>(lParam), lParam)) return FALSE;
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
        return TRUE;
      case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (dialog->minWidth) info->ptMinTrackSize.x = dialog->minWidth;
        if (dialog->minHeight) info->ptMinTrackSize.y = dialog->minHeight;
        return TRUE;
      }
      case WM_HELP: {
        const ControlBinding* b = dialog->BindingOf(GetFocus());
        form->ActiveControl = b ? b->name : "";
        form->ActiveIndex = b ? b->index : -1;
        int key = kKeyF1;
        form->Form_KeyDown(key);
        return TRUE;
      }
      case WM_SETCURSOR: {
        const ControlBinding* b = dialog->BindingOf(reinterpret_cast<HWND>(wParam));
        auto* about = dynamic_cast<FrmAbout*>(form.get());
        if (!about) return FALSE;
        std::string over = b ? b->name : "";
        if (over != dialog->hovered) {  // only a change of link needs the colours repainted
          dialog->hovered = over;
          about->MouseMove(over);
          InvalidateRect(hwnd, nullptr, FALSE);
        }
        SetCursor(LoadCursor(nullptr, about->linkPointer ? IDC_HAND : IDC_ARROW));
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG:
      case WM_CTLCOLORSTATIC: {
        if (dialog->layout.templateId == IDD_OPTIONS && msg != WM_CTLCOLORDLG) {
          // Controls on the tab take the tab page's colours, the text's too: with a high-contrast
          // scheme the window colour is dark and the default text colour would vanish on it.
          HDC dc = reinterpret_cast<HDC>(wParam);
          SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
          SetBkColor(dc, GetSysColor(COLOR_WINDOW));
          return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
        }
        if (dialog->layout.templateId != IDD_ABOUT || msg == WM_CTLCOLORBTN) return FALSE;
        if (!dialog->brush) dialog->brush.reset(CreateSolidBrush(kAboutBackground));
        if (msg == WM_CTLCOLORSTATIC) {
          HDC dc = reinterpret_cast<HDC>(wParam);
          const ControlBinding* b = dialog->BindingOf(reinterpret_cast<HWND>(lParam));
          const Control* c = b ? form->Get(b->name, b->index) : nullptr;
          SetTextColor(dc, c && c->ForeColor ? static_cast<COLORREF>(c->ForeColor) : RGB(255, 255, 255));
          SetBkMode(dc, TRANSPARENT);
        }
        return reinterpret_cast<INT_PTR>(dialog->brush.get());
      }
      case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && dialog->resized) {
          RECT window;
          GetWindowRect(hwnd, &window);
          form->Width = ToTwips(window.right - window.left);
          form->Height = ToTwips(window.bottom - window.top);
          form->Form_Resize();
          dialog->ApplyGeometry();
        }
        dialog->resized = true;
        return FALSE;
      case WM_CLOSE:
        self->Unload(dialog->name);
        return TRUE;
      default:
        return FALSE;
    }
  } catch (...) {
    TraceCaught("a dialog");
    return FALSE;  // nothing thrown may reach the system
  }
}

}  // namespace quellbox::win32
