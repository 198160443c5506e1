#include "ui/log_form.h"

#include <algorithm>

#include "core/browser_start.h"
#include "core/trust.h"
#include "core/url_log.h"
#include "resources/resource.h"
#include "ui/forms.h"
#include "ui/html_help.h"

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
  Add({.Name = "txtLog", .Id = IDC_TXTLOG, .HasCaption = false});
  Add({.Name = "Label1", .Id = IDC_LOG_LABEL1, .Tag = "320", .Caption = "XXXX"});
  Add({.Name = "Label7", .Id = IDC_LOG_LABEL7, .Caption = "0"});
  Add({.Name = "Label10", .Id = IDC_LOG_LABEL10, .Tag = "802", .Caption = "DoubleClick over log line to visit page with popups"});
  Add({.Name = "Frame1", .Id = IDC_LOG_FRAME1});
  Add({.Name = "cmdRefreshLog", .Id = IDC_CMDREFRESHLOG, .In = "Frame1", .Tag = "321", .Caption = "XXXX", .HelpContextID = 1315});
  Add({.Name = "cmdClearLog", .Id = IDC_CMDCLEARLOG, .In = "Frame1", .Tag = "322", .Caption = "XXXX", .HelpContextID = 1316});
  Add({.Name = "cmdAddtoTrusted", .Id = IDC_CMDADDTOTRUSTED, .In = "Frame1", .Tag = "801", .Caption = "Add to Trusted Sites", .Enabled = false});
  Add({.Name = "cmdHelp", .Id = IDC_CMDHELP, .In = "Frame1", .Tag = "314", .Caption = "XXXX", .HelpContextID = 1300});
  Add({.Name = "cmdClose", .Id = IDC_CMDCLOSE, .In = "Frame1", .Tag = "313", .Caption = "XXXX", .HelpContextID = 1310});
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

std::string frmLog::Row(std::size_t row, std::size_t limit) {
  return context_.services.env.FromCodePage(index_.Row(LogPath(), row, limit));
}

std::string frmLog::RowText(std::size_t row) { return Row(row, kShownLength); }

std::string frmLog::LineOf(std::size_t row) {
  if (row >= index_.Rows()) return {};
  return Row(row) + (index_.HasLineBreak(row) ? "\r\n" : "");
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
    if (!AddTrustedHost(context_.state, host)) {
      context_.services.messages.Show("Domain " + host + " is already a trusted site", "Quellbox",
                                      MessageIcon::None);
      return;
    }
    context_.forms.TrustedSitesChanged();
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
                     : Row(static_cast<std::size_t>(row));
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

}  // namespace quellbox
