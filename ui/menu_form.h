#pragma once
// The tray menu: the program's command surface.
#include <string>
#include <string_view>
#include <vector>

#include "core/services.h"
#include "core/settings.h"
#include "ui/form.h"

namespace quellbox {

inline constexpr const char* kMakerSite = "http://www.quellbox.example";

// What the menu asks of the rest of the program.
class MenuHost {
 public:
  virtual ~MenuHost() = default;
  virtual void ModIcon(TrayImage image) = 0;
  virtual void ShowForm(const std::string& name) = 0;  // modeless, one instance
  virtual void ShowHelpContents() = 0;
  virtual void UnloadAllForms() = 0;  // ends the program
  virtual void TrustedSitesChanged() = 0;  // an open Trusted Sites list shows the new list
};

class frmMenu {
 public:
  frmMenu(Services& services, AppState& state, MenuHost& host);

  // Public so that other windows can re-initialise the menu's captions.
  void Form_Load();
  std::vector<MenuItem> Items() const;
  // The Blocked pop-ups submenu: each blocked request, newest first, then what may be allowed.
  std::vector<MenuItem> BlockedItems() const;
  // "3 pop-ups blocked on example.com"
  std::string BlockedNotice(std::uint64_t count, const std::string& site) const;
  void Click(const std::string& item);

  void mKiller_Click();
  void mExit_Click();
  std::string NewVersionUrl();
  std::string ForumUrl();
  // Opaque and stable for one installation: a hash of the executable's path.
  std::string InstallationToken();

  Form form;

 private:
  std::string PageUrl(const char* pathAndKey);
  std::string Text(int id, const std::string& site = {}, std::uint64_t count = 0) const;
  void OpenBlocked(std::string_view serial);

  Services& services_;
  AppState& state_;
  MenuHost& host_;
};

// Query values go into the address percent-encoded, so that no text can break it up.
std::string UrlQueryValue(const std::string& text);

}  // namespace quellbox
