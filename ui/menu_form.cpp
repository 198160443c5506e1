#include "ui/menu_form.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "core/browser_start.h"
#include "core/convert.h"
#include "core/settings.h"
#include "core/trust.h"
#include "ui/strings.h"

namespace quellbox {
namespace {

Control MenuControl(const std::string& name, int helpContextId, const std::string& caption) {
  Control c;
  c.Name = name;
  c.HelpContextID = helpContextId;
  c.Caption = caption;
  return c;
}

constexpr std::size_t kCaptionBytes = 60;
constexpr std::size_t kHostsOffered = 5;
constexpr int kBlockedMenu = 408, kNoneBlocked = 409, kAlwaysAllow = 410, kAllowUntilExit = 411,
              kBlockedMany = 412, kBlockedOne = 413;

// Cut to fit a menu, at a whole UTF-8 character, with '&' doubled so that it is shown and not
// taken for a mnemonic.
std::string MenuText(std::string_view text) {
  std::string_view shown = text;
  if (text.size() > kCaptionBytes) {
    std::size_t end = kCaptionBytes - 3;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    shown = text.substr(0, end);
  }
  std::string out;
  for (char c : shown) out += c == '&' ? std::string("&&") : std::string(1, c);
  return shown.size() < text.size() ? out + "..." : out;
}

bool Listed(const std::vector<std::string>& list, const std::string& host) {
  return std::find(list.begin(), list.end(), host) != list.end();
}

}  // namespace

std::string UrlQueryValue(const std::string& text) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

frmMenu::frmMenu(Services& services, AppState& state, MenuHost& host)
    : services_(services), state_(state), host_(host) {
  form.Name = "frmMenu";
  form.Caption = "POPUP";
  // Built-in captions stand until Form_Load translates them.
  Control killer = MenuControl("mKiller", 400, "xxxxxxx");
  killer.Value = 1;  // checked
  form.Add(killer);
  form.Add(MenuControl("mnuOptions", 401, "xxxxxxx"));
  form.Add(MenuControl("mnuLog", 0, "xxxx"));
  form.Add(MenuControl("mnuTrustedSites", 0, "xxxxxxx"));
  form.Add(MenuControl("mnuBlocked", 0, "Blocked pop-ups"));
  form.Add(MenuControl("hsep", 0, "-"));
  form.Add(MenuControl("mCheckNewVersion", 407, "xxxxxxx"));
  form.Add(MenuControl("hsep2", 0, "-"));
  form.Add(MenuControl("mnuForum", 0, "Forum"));
  form.Add(MenuControl("mAbout", 403, "xxxxx"));
  form.Add(MenuControl("mHelp", 404, "xxxx"));
  form.Add(MenuControl("hsep1", 0, "-"));
  form.Add(MenuControl("mExit", 406, "xxxx"));
}

void frmMenu::Form_Load() {
  for (const char* name : {"mKiller", "mAbout", "mExit", "mHelp", "mnuOptions", "mCheckNewVersion"}) {
    Control& item = form[name];
    if (auto text = TextOf(item.HelpContextID, state_.LangOffset)) item.Caption = *text;
  }
  if (auto text = TextOf(327, state_.LangOffset)) form["mnuLog"].Caption = *text;
  if (auto text = TextOf(326, state_.LangOffset)) form["mnuTrustedSites"].Caption = *text;
  form["mnuBlocked"].Caption = Text(kBlockedMenu);
}

std::vector<MenuItem> frmMenu::Items() const {
  std::vector<MenuItem> items;
  for (const Control& c : form.Controls)
    items.push_back({c.Name, c.Caption, c.Value != 0, c.Caption == "-", false,
                     c.Name == "mnuBlocked" ? BlockedItems() : std::vector<MenuItem>{}});
  return items;
}

std::vector<MenuItem> frmMenu::BlockedItems() const {
  const auto& entries = state_.blocked.Entries();
  if (entries.empty()) return {{.name = "none", .caption = Text(kNoneBlocked), .grayed = true}};
  std::vector<MenuItem> items;
  std::vector<std::string> sites;
  for (const BlockedPopup& popup : entries) {
    std::string site = popup.Site();
    // The serial, not the position: pop-ups blocked while the menu is open shift the list.
    items.push_back({.name = "open:" + std::to_string(popup.serial),
                     .caption = MenuText(site.empty() ? popup.Target() : site + ": " + popup.Target())});
    if (!site.empty() && !Listed(sites, site) && sites.size() < kHostsOffered) sites.push_back(site);
  }
  bool separated = false;
  for (const std::string& site : sites) {
    if (Listed(state_.gblTrust, site)) continue;
    if (!std::exchange(separated, true)) items.push_back({.caption = "-", .separator = true});
    items.push_back({.name = "trust:" + site, .caption = MenuText(Text(kAlwaysAllow, site))});
    if (!Listed(state_.allowedThisRun, site))
      items.push_back({.name = "allow:" + site, .caption = MenuText(Text(kAllowUntilExit, site))});
  }
  return items;
}

std::string frmMenu::BlockedNotice(std::uint64_t count, const std::string& site) const {
  return Text(count == 1 ? kBlockedOne : kBlockedMany, site, count);
}

std::string frmMenu::Text(int id, const std::string& site, std::uint64_t count) const {
  std::string text = TextOf(id, state_.LangOffset).value_or(StringEntry(id).value_or(""));
  if (auto at = text.find("%n"); at != std::string::npos) text.replace(at, 2, std::to_string(count));
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, site);
  return text;
}

void frmMenu::OpenBlocked(std::string_view serial) {
  std::uint64_t wanted = 0;
  std::from_chars(serial.data(), serial.data() + serial.size(), wanted);
  for (const BlockedPopup& popup : state_.blocked.Entries()) {
    if (popup.serial != wanted) continue;
    // As a click on a link would: the window it opens is the user's.
    state_.flags.NewWindowAllowed = true;
    OpenUrlInBrowser(services_, popup.Target());
    return;
  }
}

void frmMenu::Click(const std::string& item) {
  if (item == "mKiller") mKiller_Click();
  else if (item == "mnuOptions") host_.ShowForm("frmOptions");
  else if (item == "mnuLog") host_.ShowForm("frmLog");
  else if (item == "mnuTrustedSites") host_.ShowForm("frmTrustedSites");
  else if (item == "mAbout") host_.ShowForm("FrmAbout");
  else if (item == "mHelp") host_.ShowHelpContents();
  else if (item == "mCheckNewVersion") OpenUrlInBrowser(services_, NewVersionUrl());
  else if (item == "mnuForum") OpenUrlInBrowser(services_, ForumUrl());
  else if (item == "mExit") mExit_Click();
  else if (item.starts_with("open:")) OpenBlocked(std::string_view(item).substr(5));
  else if (item.starts_with("trust:") && AddTrustedHost(state_, item.substr(6))) host_.TrustedSitesChanged();
  else if (item.starts_with("allow:")) state_.allowedThisRun.push_back(item.substr(6));
}

void frmMenu::mKiller_Click() {
  Control& killer = form["mKiller"];
  if (killer.Value != 0) {
    killer.Value = 0;
    state_.settings.KillerEnabled = false;
    host_.ModIcon(TrayImage::Off);
  } else {
    host_.ModIcon(TrayImage::Normal);
    killer.Value = 1;
    state_.settings.KillerEnabled = true;
  }
}

void frmMenu::mExit_Click() {
  SaveSettings(services_, state_);
  host_.UnloadAllForms();
}

std::string frmMenu::PageUrl(const char* pathAndKey) {
  return std::string(kMakerSite) + pathAndKey + UrlQueryValue(services_.env.ExeBaseName()) +
         "&version=" + RunningVersionText() + "&v=" + UrlQueryValue(state_.settings.Affiliate) +
         "&session=" + InstallationToken();
}

std::string frmMenu::NewVersionUrl() { return PageUrl("/NewVersion.asp?name="); }

std::string frmMenu::ForumUrl() { return PageUrl("/Forum/main.asp?name="); }

std::string frmMenu::InstallationToken() {
  // FNV-1a over the program's own path: the same for every run of one installation, different
  // for another, and no way back to the path.
  std::string path = UpperAscii(services_.env.PathInProgramDirectory(services_.env.ExeBaseName() + ".exe"));
  std::uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : "quellbox-installation:" + path) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) text[static_cast<std::size_t>(i)] = "0123456789abcdef"[hash & 15];
  return text;
}

}  // namespace quellbox
