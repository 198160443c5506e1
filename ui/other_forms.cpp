#include "ui/other_forms.h"

#include <algorithm>

#include "core/browser_start.h"
#include "core/convert.h"
#include "core/url_log.h"
#include "core/version.h"
#include "ui/forms.h"
#include "ui/html_help.h"
#include "ui/menu_form.h"

namespace quellbox {

std::string HostOfLogLine(const std::string& line, bool& found) {
  // Positions from 1, as the viewer's rule is written.
  auto at = [&](const char* what, std::size_t from = 0) {
    auto p = line.find(what, from);
    return p == std::string::npos ? std::size_t{0} : p + 1;
  };
  std::size_t p = at("://");
  bool schemeless = false;
  if (p == 0) {
    p = at("about:");
    schemeless = true;
  }
  if (p == 0) p = at("file:");
  found = p != 0;
  if (!found) return {};
  std::size_t q = at("/", p + 2);
  if (q == 0) q = line.size() >= 1 ? line.size() - 1 : 0;  // the line ends in CR LF
  if (!schemeless) return q > p + 2 ? line.substr(p + 2, q - p - 3) : std::string();
  return q > p - 1 ? line.substr(p - 1, q - p) : std::string();
}

frmLog::frmLog(DialogContext& context) : Dialog(context) {
  Name = "frmLog";
  Caption = "Logs";
  Add({.Name = "txtLog", .HasCaption = false, .Left = 150, .Top = 600, .Width = 9000, .Height = 3500});
  Add({.Name = "Label1", .Tag = "320", .Caption = "XXXX"});
  Add({.Name = "Label7", .Caption = "0"});
  Add({.Name = "Label10", .Tag = "802", .Caption = "DoubleClick over log line to visit page with popups"});
  Add({.Name = "Frame1", .Left = 0, .Top = 4200, .Width = 9300, .Height = 1100});
  Add({.Name = "cmdRefreshLog", .Tag = "321", .Caption = "XXXX", .HelpContextID = 1315, .Width = 1800});
  Add({.Name = "cmdClearLog", .Tag = "322", .Caption = "XXXX", .HelpContextID = 1316, .Width = 1800});
  Add({.Name = "cmdAddtoTrusted", .Tag = "801", .Caption = "Add to Trusted Sites", .Enabled = false, .Width = 1800});
  Add({.Name = "cmdHelp", .Tag = "314", .Caption = "XXXX", .HelpContextID = 1300, .Width = 1400});
  Add({.Name = "cmdClose", .Tag = "313", .Caption = "XXXX", .HelpContextID = 1310, .Width = 1400});
}

LineList* frmLog::List() { return context_.host.LineListOf(Name, "txtLog"); }

std::string frmLog::LogPath() { return context_.services.env.PathInProgramDirectory(kUrlLogFile); }

void frmLog::Form_Load() {
  Localize(false);  // the title stays "Logs"
  Refresh();
}

// A log that cannot be read leaves the view as it was; only what the log grew by is read.
void frmLog::Refresh() {
  index_.Update(LogPath());
  (*this)["Label7"].Caption = std::to_string(index_.Count());
  if (LineList* list = List()) {
    list->SetRowCount(index_.Rows());
    if (index_.Rows() > 0) list->ShowRow(index_.Rows() - 1);  // the newest entries
  }
}

std::string frmLog::RowText(std::size_t row) { return index_.Row(LogPath(), row, kShownLength); }

std::string frmLog::LineOf(std::size_t row) {
  if (row >= index_.Rows()) return {};
  return index_.Row(LogPath(), row) + (index_.HasLineBreak(row) ? "\r\n" : "");
}

void frmLog::Click(const std::string& control, int index) {
  if (control == "txtLog") {
    SelectedLine = index < 0 ? std::string() : LineOf(static_cast<std::size_t>(index));
    (*this)["cmdAddtoTrusted"].Enabled = !SelectedLine.empty();
  } else if (control == "cmdRefreshLog") {
    Refresh();
  } else if (control == "cmdClearLog") {
    ClearUrlLog(context_.services);
    Refresh();
  } else if (control == "cmdAddtoTrusted") {
    (*this)["cmdAddtoTrusted"].Enabled = false;
    bool found = false;
    std::string host = SelectedLine.empty() ? std::string() : HostOfLogLine(SelectedLine, found);
    // An empty host (file:///C:/x.html) would make an entry that trusts nothing.
    if (!found || host.empty()) {
      context_.services.messages.Show("Can't add to domain list", "Quellbox", MessageIcon::None);
      return;
    }
    auto& trust = context_.state.gblTrust;
    if (std::find(trust.begin(), trust.end(), host) != trust.end()) {
      context_.services.messages.Show("Domain " + host + " is already a trusted site", "Quellbox",
                                      MessageIcon::None);
      return;
    }
    trust.push_back(host);
    context_.state.trustUnread = false;  // the user's list from now on
    // The trusted-sites list mirrors the master list entry for entry.
    if (auto sites = context_.forms.Get<frmTrustedSites>("frmTrustedSites")) (*sites)["lstHosts"].Items.push_back(host);
  } else if (control == "cmdClose") {
    context_.host.Unload(Name);
  } else if (control == "cmdHelp") {
    ShowHelpContents(context_.services);
  }
}

void frmLog::DoubleClick(const std::string& control, int row) {
  if (control != "txtLog") return;
  (*this)["cmdAddtoTrusted"].Enabled = false;
  SelectedLine = row < 0 || static_cast<std::size_t>(row) >= index_.Rows()
                     ? std::string()
                     : index_.Row(LogPath(), static_cast<std::size_t>(row));
  if (SelectedLine.empty()) return;
  OpenUrlInBrowser(context_.services, UrlFromLogLine(SelectedLine));
}

// Up-arrow takes the line above the selected one; with none selected, the last line.
void frmLog::ControlKeyDown(const std::string& control, int key) {
  LineList* list = List();
  if (control != "txtLog" || key != kKeyUp || !list) return;
  std::size_t n = list->SelectedRow().value_or(index_.Rows());
  std::size_t above = n > 0 ? n - 1 : 0;
  SelectedLine = LineOf(above);
  if (above < index_.Rows()) {
    list->Select(above);
    list->ShowRow(above);
  }
  (*this)["cmdAddtoTrusted"].Enabled = true;
}

void frmLog::Form_Resize() {
  Control& box = (*this)["txtLog"];
  Control& frame = (*this)["Frame1"];
  Control& refresh = (*this)["cmdRefreshLog"];
  Height = std::max(Height, 5115);
  Width = std::max(Width, 3 * refresh.Width + 400);
  box.Width = Width - 300;
  frame.Left = 0;
  frame.Width = Width;
  box.Height = Height - box.Top - frame.Height - 400;
  frame.Top = box.Top + box.Height + 5;
  refresh.Left = std::max(0, (box.Width - 3 * refresh.Width) / 2);
  Control& clear = (*this)["cmdClearLog"];
  Control& add = (*this)["cmdAddtoTrusted"];
  clear.Left = refresh.Left + refresh.Width + 100;
  add.Left = clear.Left + clear.Width + 100;
  Control& close = (*this)["cmdClose"];
  close.Left = std::max(0, (box.Width - 2 * close.Width) / 2);
  (*this)["cmdHelp"].Left = close.Left + close.Width + 100;
}

frmTrustedSites::frmTrustedSites(DialogContext& context) : Dialog(context) {
  Name = "frmTrustedSites";
  Caption = "XXXX";
  Add({.Name = "Label1", .Caption = "XXXX"});
  Add({.Name = "Label6", .Tag = "319", .Caption = "XXXX"});
  Add({.Name = "lstHosts", .Tag = "329", .HelpContextID = 1311, .HasCaption = false});
  Add({.Name = "cmdAddSite", .Tag = "317", .Caption = "XXXX", .HelpContextID = 1312});
  Add({.Name = "cmdRemoveSite", .Tag = "318", .Caption = "XXXX", .Enabled = false, .HelpContextID = 1313});
  Add({.Name = "cmdClose", .Tag = "313", .Caption = "XXXX", .HelpContextID = 1310});
  Add({.Name = "cmdHelp", .Tag = "314", .Caption = "XXXX", .HelpContextID = 1300});
}

void frmTrustedSites::Form_Load() {
  if (auto title = Text(326)) Caption = *title;
  Localize();
  Control& list = (*this)["lstHosts"];
  for (const std::string& entry : context_.state.gblTrust) list.Items.push_back(entry);
  if (auto heading = Text(326)) (*this)["Label1"].Caption = *heading;
}

void frmTrustedSites::Click(const std::string& control, int) {
  Control& list = (*this)["lstHosts"];
  if (control == "lstHosts") {
    (*this)["cmdRemoveSite"].Enabled = true;
  } else if (control == "cmdRemoveSite") {
    int i = list.ListIndex;
    auto& trust = context_.state.gblTrust;
    if (i < 0 || i >= static_cast<int>(trust.size()) || i >= static_cast<int>(list.Items.size())) return;
    trust.erase(trust.begin() + i);
    list.Items.erase(list.Items.begin() + i);
    list.ListIndex = -1;
    context_.state.trustUnread = false;  // the user's list from now on
  } else if (control == "cmdAddSite") {
    context_.host.ShowModal("frmAdd", Name);
  } else if (control == "cmdClose") {
    context_.host.Unload(Name);
  } else if (control == "cmdHelp") {
    ShowHelpContents(context_.services);
  }
}

frmAdd::frmAdd(DialogContext& context) : Dialog(context) {
  Name = "frmAdd";
  Tag = "500";
  Add({.Name = "Frame1", .ToolTipText = "The form to add trusted sites"});
  Add({.Name = "Label2", .Tag = "501", .Caption = "XXXX"});
  Add({.Name = "txtsite", .ToolTipText = "The domain name like MICROSOFT or CNN. No dots maybe entered in this field.",
       .HelpContextID = 1101, .HasCaption = false});
  Add({.Name = "Label1", .Tag = "503", .Caption = "XXXX"});
  Add({.Name = "cmdOK", .Tag = "504", .Caption = "XXXX", .ToolTipText = "To add the domain to the trusted list.", .HelpContextID = 1103});
  Add({.Name = "cmdCancel", .Tag = "505", .Caption = "XXXX", .ToolTipText = "To cancel and return to the Options window", .HelpContextID = 1104});
  Add({.Name = "cmdHelp", .Tag = "506", .Caption = "XXXX", .HelpContextID = 1100});
}

void frmAdd::Form_Load() {
  Localize();
  if (auto title = Text(500)) Caption = *title;
}

void frmAdd::Click(const std::string& control, int) {
  if (control == "cmdOK") {
    std::string name = TrimBlanks((*this)["txtsite"].Text);
    if (name.empty()) {
      context_.services.messages.Show(Text(704).value_or("Invalid Domain Name"), "Quellbox", MessageIcon::None);
      return;
    }
    if (auto sites = context_.forms.Get<frmTrustedSites>("frmTrustedSites")) (*sites)["lstHosts"].Items.push_back(name);
    context_.state.gblTrust.push_back(name);
    context_.state.trustUnread = false;  // the user's list from now on
    context_.host.Unload(Name);
  } else if (control == "cmdCancel") {
    context_.host.Unload(Name);
  } else if (control == "cmdHelp") {
    ShowHelpContents(context_.services);
  }
}

FrmAbout::FrmAbout(DialogContext& context) : Dialog(context) {
  Name = "FrmAbout";
  Tag = "101";
  Add({.Name = "Frame1", .ToolTipText = "The Quellbox version and contact information."});
  Add({.Name = "Picture1"});
  Add({.Name = "Label3", .Caption = "QuellBOX"});
  Add({.Name = "Label1", .Tag = "108", .Caption = "XXXX"});
  Add({.Name = "lblVersion", .Tag = "107", .Caption = "XXXX"});
  Add({.Name = "Label4", .Tag = "102", .Caption = "XXXX"});
  Add({.Name = "Label5", .Caption = kMakerSite, .ForeColor = kYellow});
  Add({.Name = "Label6", .Tag = "103", .Caption = "XXXX"});
  Add({.Name = "label8", .Caption = kSalesAddress, .ForeColor = kYellow});
  Add({.Name = "Label7", .Tag = "104", .Caption = "XXXX"});
  Add({.Name = "Label9", .Caption = kSupportAddress, .ForeColor = kYellow});
  Add({.Name = "Label2", .Caption = "Quellbox is made by Tarnik. Copyright 2003-2026 Tarnik."});
  Add({.Name = "cmdOk", .Tag = "105", .Caption = "XXXX", .ToolTipText = "Click to continue", .HelpContextID = 1001});
  Add({.Name = "cmdHelp", .Tag = "106", .Caption = "XXXX", .HelpContextID = 1000});
}

void FrmAbout::Form_Load() {
  Localize();
  (*this)["lblVersion"].Caption = Text(107).value_or("Version") + " " + std::to_string(kVersion.major) +
                                  "." + std::to_string(kVersion.minor) + "." +
                                  std::to_string(kVersion.revision);
}

void FrmAbout::MouseMove(const std::string& control) {
  const char* links[] = {"Label5", "label8", "Label9"};
  bool overLink = std::find(std::begin(links), std::end(links), control) != std::end(links);
  linkPointer = overLink;
  for (const char* link : links) (*this)[link].ForeColor = control == link ? kRed : kYellow;
}

void FrmAbout::Click(const std::string& control, int) {
  if (control == "Label5") OpenUrlInBrowser(context_.services, kMakerSite);
  else if (control == "label8") context_.services.launcher.ShellOpen(std::string("mailto:") + kSalesAddress);
  else if (control == "Label9") context_.services.launcher.ShellOpen(std::string("mailto:") + kSupportAddress);
  else if (control == "cmdOk") context_.host.Unload(Name);
  else if (control == "cmdHelp") ShowHelpContents(context_.services);
}

}  // namespace quellbox
