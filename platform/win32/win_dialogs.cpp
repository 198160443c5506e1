#include "platform/win32/win_dialogs.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/win32/com.h"
#include "platform/win32/dialog_window.h"
#include "platform/win32/failures.h"
#include "resources/resource.h"

namespace quellbox::win32 {
namespace {

// Each dialog's template and the kind of window it makes.
const DialogLayout kLayouts[] = {
    {"frmOptions", IDD_OPTIONS, &MakeOptionsWindow},   {"frmLog", IDD_LOG, &MakeLogWindow},
    {"frmTrustedSites", IDD_TRUSTED, &MakePlainWindow}, {"frmAdd", IDD_ADD, &MakePlainWindow},
    {"FrmAbout", IDD_ABOUT, &MakeAboutWindow},
};

const DialogLayout* LayoutOf(const std::string& form) {
  for (const DialogLayout& s : kLayouts)
    if (form == s.form) return &s;
  return nullptr;
}

}  // namespace

WinDialogs::WinDialogs(HINSTANCE instance, Services& services, AppState& state, MainForm& mainForm)
    : instance_(instance), mainForm_(mainForm), context_{services, state, *this, forms_} {
  forms_.SetContext(context_);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
}

WinDialogs::~WinDialogs() { UnloadAll(); }

std::shared_ptr<DialogWindow> WinDialogs::Open(const std::string& name) const {
  auto dialog = forms_.Find(name);
  return dialog ? std::static_pointer_cast<DialogWindow>(dialog->window) : nullptr;
}

// The form, unloaded so that loading it can use the window's controls, and its window object.
std::shared_ptr<DialogWindow> WinDialogs::Make(const std::string& name) {
  const DialogLayout* layout = LayoutOf(name);
  if (!layout || forms_.Find(name)) return nullptr;
  auto dialog = forms_.Create(name);
  if (!dialog) return nullptr;
  auto window = layout->make(*this, *layout);
  window->Attach(dialog);
  return window;
}

void WinDialogs::ShowForm(const std::string& name) {
  if (auto open = Open(name)) {
    ShowWindow(open->hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(open->hwnd);
    return;
  }
  auto window = Make(name);
  if (!window) return;
  HWND hwnd = nullptr;
  LOG_IF_FAILED(hwnd = CreateDialogParamW(instance_, MAKEINTRESOURCEW(window->layout.templateId), nullptr,
                                          &DialogWindow::Proc, reinterpret_cast<LPARAM>(window.get())));
  if (!hwnd) {
    Forget(name);
    return;
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd);
}

void WinDialogs::ShowModal(const std::string& form, const std::string& owner) {
  auto ownerWindow = Open(owner);
  auto window = Make(form);
  if (!window) return;
  window->modal = true;
  LOG_IF_FAILED(DialogBoxParamW(instance_, MAKEINTRESOURCEW(window->layout.templateId),
                                ownerWindow ? ownerWindow->hwnd : nullptr, &DialogWindow::Proc,
                                reinterpret_cast<LPARAM>(window.get())) != -1);
  Forget(form);
}

void WinDialogs::Forget(const std::string& name) { forms_.Unload(name); }

void WinDialogs::Unload(const std::string& form) {
  auto window = Open(form);
  if (!window) return;
  if (window->modal) {
    EndDialog(window->hwnd, 0);  // ShowModal forgets it once the dialog box returns
    return;
  }
  Forget(form);  // held here until its window has gone, as by a handler of its own
  if (window->hwnd) DestroyWindow(window->hwnd);
}

void WinDialogs::UnloadAll() {
  for (const auto& dialog : forms_.Loaded()) Unload(dialog->Name);
}

bool WinDialogs::PreTranslate(MSG& msg) {
  for (const auto& dialog : forms_.Loaded()) {
    auto window = std::static_pointer_cast<DialogWindow>(dialog->window);
    if (window && !window->modal && window->hwnd && IsDialogMessageW(window->hwnd, &msg)) return true;
  }
  return false;
}

bool WinDialogs::IsLoaded(const std::string& form) { return Open(form) != nullptr; }

std::optional<std::string> WinDialogs::OpenFile(const std::string& initialDirectory, const std::string& filter,
                                                const std::string& title) {
  std::wstring filters = Wide(filter), directory = Wide(initialDirectory), caption = Wide(title);
  std::replace(filters.begin(), filters.end(), L'|', L'\0');
  filters.append(2, L'\0');
  std::wstring file(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetActiveWindow();
  ofn.lpstrFilter = filters.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = directory.c_str();
  ofn.lpstrTitle = caption.c_str();
  // The process's current folder stays: it is not the dialog's to change.
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return Narrow(file.c_str(), std::char_traits<wchar_t>::length(file.c_str()));
}

void WinDialogs::ReloadMenu() { mainForm_.Menu().Form_Load(); }

std::intptr_t WinDialogs::ControlWindow(const std::string& form, const std::string& control, int index) {
  auto window = Open(form);
  return window ? reinterpret_cast<std::intptr_t>(window->ControlOf(control, index)) : 0;
}

LineList* WinDialogs::LineListOf(const std::string& form, const std::string& control) {
  auto window = Open(form);
  return window && control == "txtLog" ? window->Lines() : nullptr;
}

void WinDialogs::TrustedSitesChanged() {
  forms_.TrustedSitesChanged();
  PushAll();
}

void WinDialogs::PushAll() {
  for (const auto& dialog : forms_.Loaded())
    if (auto window = std::static_pointer_cast<DialogWindow>(dialog->window); window && window->hwnd) window->Push();
}

}  // namespace quellbox::win32
