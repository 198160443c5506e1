#pragma once
// The notification area, the pop-up menu, the help viewer and message boxes.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quellbox {

enum class TrayImage { Normal, Off };

// The first version of the notify-icon record, without the window handle, which the platform
// fills in.
struct TrayIconRecord {
  std::uint32_t uID = 1;
  std::uint32_t uFlags = 7;              // icon, callback message and tip are valid
  std::uint32_t uCallbackMessage = 0x200;
  TrayImage image = TrayImage::Normal;
  std::array<char, 64> szTip{};          // NUL-terminated, padded with blanks
};

class Tray {
 public:
  virtual ~Tray() = default;
  virtual bool Add(const TrayIconRecord& record) = 0;
  virtual bool Modify(const TrayIconRecord& record) = 0;
  virtual bool Delete(std::uint32_t uID) = 0;
  // A balloon from the icon; false where the shell shows none.
  virtual bool ShowBalloon(std::uint32_t uID, const std::string& title, const std::string& text) = 0;
};

struct MenuItem {
  std::string name;
  std::string caption;  // UTF-8
  bool checked = false;
  bool separator = false;
  bool grayed = false;
  std::vector<MenuItem> submenu;  // not empty: the item opens this menu
};

class MenuPresenter {
 public:
  virtual ~MenuPresenter() = default;
  // Brings the program to the foreground and pops the menu up at the cursor; the chosen item's
  // name, or nothing when the menu closed without a choice.
  virtual std::optional<std::string> TrackPopupMenu(const std::vector<MenuItem>& items) = 0;
};

class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  // The help window's handle, 0 when the library or the call failed.
  virtual std::intptr_t DisplayToc(std::intptr_t owner, const std::string& file) = 0;
  struct Popup {
    std::int32_t x = 0, y = 0;  // screen position
    std::int32_t textColor = -1, backColor = -1;
    std::int32_t margins[4] = {-1, -1, -1, -1};
    std::int32_t topic = 0;
  };
  virtual std::intptr_t DisplayTextPopup(std::intptr_t owner, const std::string& file,
                                         const Popup& popup) = 0;
};

// The program's windows as the platform shows them.
class WindowManager {
 public:
  virtual ~WindowManager() = default;
  virtual void ShowForm(const std::string& name) = 0;  // modeless, one instance, brought up
  virtual void UnloadAllForms() = 0;                   // the dialogs, then the main window
  virtual void TrustedSitesChanged() = 0;              // an open Trusted Sites list shows it
};

enum class MessageIcon { None, Exclamation };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Show(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
};

}  // namespace quellbox
