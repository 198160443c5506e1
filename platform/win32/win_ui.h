#pragma once
// The notification area, the tray menu, HTML Help and message boxes.
#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

#include "core/ui_ports.h"

namespace quellbox::win32 {

class WinTray : public Tray {
 public:
  WinTray(HWND window, HINSTANCE instance);
  bool Add(const TrayIconRecord& record) override;
  bool Modify(const TrayIconRecord& record) override;
  bool Delete(std::uint32_t uID) override;
  bool ShowBalloon(std::uint32_t uID, const std::string& title, const std::string& text) override;

 private:
  static HICON SmallIcon(HINSTANCE instance, int id);
  bool Call(DWORD message, const TrayIconRecord& record);
  HWND window_;
  UniqueIcon on_, off_;
};

class WinMenus : public MenuPresenter {
 public:
  explicit WinMenus(HWND owner) : owner_(owner) {}
  std::optional<std::string> TrackPopupMenu(const std::vector<MenuItem>& items) override;

 private:
  HWND owner_;
};

class WinHelp : public HelpViewer {
 public:
  // The HTML Help library of the system directory, or (for tests) the one named.
  WinHelp() : WinHelp(SystemLibrary()) {}
  explicit WinHelp(std::string libraryPath) : libraryPath_(std::move(libraryPath)) {}
  // Closes every help window before the library goes.
  ~WinHelp() override;
  std::intptr_t DisplayToc(std::intptr_t owner, const std::string& file) override;
  std::intptr_t DisplayTextPopup(std::intptr_t owner, const std::string& file, const Popup& popup) override;
  static std::string SystemLibrary();

 private:
  using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  HtmlHelpFn Function();  // loaded on first use; null when hhctrl.ocx is missing
  std::string libraryPath_;
  UniqueModule library_;
  HtmlHelpFn function_ = nullptr;
  bool tried_ = false;
};

class WinMessages : public MessageBoxes {
 public:
  void Show(const std::string& text, const std::string& caption, MessageIcon icon) override;
};

class WinDialogs;

// The dialogs, once made (they need the services this is one of); unloading ends with the main
// window.
class WinWindowManager : public WindowManager {
 public:
  explicit WinWindowManager(HWND mainWindow) : main_(mainWindow) {}
  void ShowForm(const std::string& name) override;
  void UnloadAllForms() override;
  void TrustedSitesChanged() override;
  WinDialogs* dialogs = nullptr;

 private:
  HWND main_;
};

}  // namespace quellbox::win32
