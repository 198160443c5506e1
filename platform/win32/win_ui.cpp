#include "platform/win32/win_ui.h"

#include <htmlhelp.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "platform/win32/com.h"
#include "platform/win32/failures.h"
#include "platform/win32/win_dialogs.h"
#include "resources/resource.h"

namespace quellbox::win32 {
namespace {

// The one ANSI call left: the first version of the record, which every shell since Windows 95
// takes, through Shell_NotifyIconA, so that TrayIconRecord's 64-byte tip (ASCII text: a count
// and two words) is carried as it is.
#if defined(_WIN32) && !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the version-1 record is 88 bytes on 32-bit Windows");
#endif

}  // namespace

bool WinTray::Call(DWORD message, const TrayIconRecord& record) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window_;
  data.uID = record.uID;
  data.uFlags = record.uFlags;
  data.uCallbackMessage = record.uCallbackMessage;
  data.hIcon = (record.image == TrayImage::Off ? off_ : on_).get();
  static_assert(sizeof data.szTip >= sizeof record.szTip);
  std::memcpy(data.szTip, record.szTip.data(), record.szTip.size());
  return SUCCEEDED(LOG_IF_FAILED(Shell_NotifyIconA(message, &data)));
}

// Balloons need the Windows 2000 record; the icon keeps the first-version record it was added
// with, which names the same icon. A shell older than Windows 2000 refuses the call.
bool WinTray::ShowBalloon(std::uint32_t uID, const std::string& title, const std::string& text) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = window_;
  data.uID = uID;
  data.uFlags = NIF_INFO;
  std::wstring wideText = Wide(text), wideTitle = Wide(title);
  wcsncpy(data.szInfo, wideText.c_str(), std::size(data.szInfo) - 1);
  wcsncpy(data.szInfoTitle, wideTitle.c_str(), std::size(data.szInfoTitle) - 1);
  data.uTimeout = 10000;
  data.dwInfoFlags = NIIF_INFO;
  return SUCCEEDED(LOG_IF_FAILED(Shell_NotifyIconW(NIM_MODIFY, &data)));
}

// The notification area shows small icons: load the small image of each icon rather than have
// the shell shrink the large one.
HICON WinTray::SmallIcon(HINSTANCE instance, int id) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                       GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

WinTray::WinTray(HWND window, HINSTANCE instance)
    : window_(window), on_(SmallIcon(instance, IDI_QUELLBOX)), off_(SmallIcon(instance, IDI_QUELLBOX_OFF)) {}

bool WinTray::Add(const TrayIconRecord& record) { return Call(NIM_ADD, record); }

bool WinTray::Modify(const TrayIconRecord& record) { return Call(NIM_MODIFY, record); }

bool WinTray::Delete(std::uint32_t uID) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window_;
  data.uID = uID;
  return SUCCEEDED(LOG_IF_FAILED(Shell_NotifyIconA(NIM_DELETE, &data)));
}

namespace {

// Appends `items` to `menu`; each command's id is its place in `names`, from 1.
void AppendItems(HMENU menu, const std::vector<MenuItem>& items, std::vector<std::string>& names) {
  for (const MenuItem& item : items) {
    if (item.separator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::wstring caption = Wide(item.caption);
    UINT state = (item.checked ? MF_CHECKED : MF_UNCHECKED) | (item.grayed ? MF_GRAYED : MF_ENABLED);
    if (!item.submenu.empty()) {
      UniqueMenu submenu(CreatePopupMenu());
      if (!submenu) continue;
      AppendItems(submenu.get(), item.submenu, names);
      // Once appended, the parent menu owns the submenu and destroys it with itself.
      if (AppendMenuW(menu, MF_POPUP | state, reinterpret_cast<UINT_PTR>(submenu.get()), caption.c_str()))
        submenu.release();
      continue;
    }
    names.push_back(item.name);
    AppendMenuW(menu, MF_STRING | state, names.size(), caption.c_str());
  }
}

}  // namespace

std::optional<std::string> WinMenus::TrackPopupMenu(const std::vector<MenuItem>& items) {
  UniqueMenu owned(CreatePopupMenu());
  HMENU menu = owned.get();
  if (!menu) return std::nullopt;
  std::vector<std::string> names;
  AppendItems(menu, items, names);
  POINT at{};
  GetCursorPos(&at);
  // In the foreground, so that the menu closes when the user clicks elsewhere.
  SetForegroundWindow(owner_);
  UINT chosen = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, owner_, nullptr));
  PostMessageW(owner_, WM_NULL, 0, 0);
  if (chosen == 0 || chosen > names.size()) return std::nullopt;
  return names[chosen - 1];
}

// By full path: a bare name would also find a DLL planted next to Quellbox.exe.
std::string WinHelp::SystemLibrary() {
  wchar_t dir[MAX_PATH];
  UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return Narrow(dir, n) + "\\hhctrl.ocx";
}

WinHelp::~WinHelp() {
  // Help windows run on this thread inside hhctrl.ocx; unloading it under them would leave
  // their window procedures pointing at nothing.
  if (function_) function_(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

WinHelp::HtmlHelpFn WinHelp::Function() {
  if (!tried_) {
    tried_ = true;
    if (!libraryPath_.empty()) library_.reset(LoadLibraryW(Wide(libraryPath_).c_str()));
    if (library_)
      function_ = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(library_.get(), "HtmlHelpW")));
  }
  return function_;
}

std::intptr_t WinHelp::DisplayToc(std::intptr_t owner, const std::string& file) {
  auto htmlHelp = Function();
  if (!htmlHelp) return 0;
  return reinterpret_cast<std::intptr_t>(htmlHelp(reinterpret_cast<HWND>(owner), Wide(file).c_str(), HH_DISPLAY_TOC, 0));
}

std::intptr_t WinHelp::DisplayTextPopup(std::intptr_t owner, const std::string& file, const Popup& popup) {
  auto htmlHelp = Function();
  if (!htmlHelp) return 0;
  HH_POPUP p{};  // its text and font pointers stay null: the same record for HtmlHelpW
  p.cbStruct = sizeof p;
  p.idString = static_cast<UINT>(popup.topic);
  p.pt = POINT{popup.x, popup.y};
  p.clrForeground = static_cast<COLORREF>(popup.textColor);
  p.clrBackground = static_cast<COLORREF>(popup.backColor);
  p.rcMargins = RECT{popup.margins[0], popup.margins[1], popup.margins[2], popup.margins[3]};
  return reinterpret_cast<std::intptr_t>(htmlHelp(reinterpret_cast<HWND>(owner), Wide(file).c_str(),
                                                  HH_DISPLAY_TEXT_POPUP, reinterpret_cast<DWORD_PTR>(&p)));
}

void WinMessages::Show(const std::string& text, const std::string& caption, MessageIcon icon) {
  std::wstring wideText = Wide(text), wideCaption = Wide(caption);
  MSGBOXPARAMSW params{};
  params.cbSize = sizeof params;
  params.hwndOwner = GetActiveWindow();
  params.lpszText = wideText.c_str();
  params.lpszCaption = wideCaption.c_str();
  params.dwStyle = MB_OK | (icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : 0);
  MessageBoxIndirectW(&params);
}

void WinWindowManager::ShowForm(const std::string& name) {
  if (dialogs) dialogs->ShowForm(name);
}

void WinWindowManager::TrustedSitesChanged() {
  if (dialogs) dialogs->TrustedSitesChanged();
}

void WinWindowManager::UnloadAllForms() {
  if (dialogs) dialogs->UnloadAll();
  PostMessageW(main_, WM_CLOSE, 0, 0);
}

}  // namespace quellbox::win32
