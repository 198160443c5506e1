#include "ui/menu_form.h"

#include "core/browser_start.h"
#include "core/convert.h"
#include "core/settings.h"
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
}

std::vector<MenuItem> frmMenu::Items() const {
  std::vector<MenuItem> items;
  for (const Control& c : form.Controls)
    items.push_back({c.Name, c.Caption, c.Value != 0, c.Caption == "-"});
  return items;
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
