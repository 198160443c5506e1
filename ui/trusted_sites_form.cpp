#include "ui/trusted_sites_form.h"

#include "core/convert.h"
#include "resources/resource.h"
#include "ui/forms.h"
#include "ui/html_help.h"

namespace quellbox {

frmTrustedSites::frmTrustedSites(DialogContext& context) : Dialog(context) {
  Name = "frmTrustedSites";
  Caption = "XXXX";
  Add({.Name = "Label1", .Id = IDC_TS_LABEL1, .Caption = "XXXX"});
  Add({.Name = "Label6", .Id = IDC_TS_LABEL6, .Tag = "319", .Caption = "XXXX"});
  Add({.Name = "lstHosts", .Id = IDC_LSTHOSTS, .Tag = "329", .HelpContextID = 1311, .HasCaption = false});
  Add({.Name = "cmdAddSite", .Id = IDC_CMDADDSITE, .Tag = "317", .Caption = "XXXX", .HelpContextID = 1312});
  Add({.Name = "cmdRemoveSite", .Id = IDC_CMDREMOVESITE, .Tag = "318", .Caption = "XXXX", .Enabled = false, .HelpContextID = 1313});
  Add({.Name = "cmdClose", .Id = IDC_CMDCLOSE, .Tag = "313", .Caption = "XXXX", .HelpContextID = 1310});
  Add({.Name = "cmdHelp", .Id = IDC_CMDHELP, .Tag = "314", .Caption = "XXXX", .HelpContextID = 1300});
}

void frmTrustedSites::Form_Load() {
  if (auto title = Text(326)) Caption = *title;
  Localize();
  ShowList();
  if (auto heading = Text(326)) (*this)["Label1"].Caption = *heading;
}

void frmTrustedSites::ShowList() { (*this)["lstHosts"].Items = context_.state.gblTrust; }

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
  Add({.Name = "Frame1", .Id = IDC_ADD_FRAME1, .ToolTipText = "The form to add trusted sites"});
  Add({.Name = "Label2", .Id = IDC_ADD_LABEL2, .Tag = "501", .Caption = "XXXX"});
  Add({.Name = "txtsite", .Id = IDC_TXTSITE, .ToolTipText = "The domain name like MICROSOFT or CNN. No dots maybe entered in this field.",
       .HelpContextID = 1101, .HasCaption = false});
  Add({.Name = "Label1", .Id = IDC_ADD_LABEL1, .Tag = "503", .Caption = "XXXX"});
  Add({.Name = "cmdOK", .Id = IDC_CMDOK, .Tag = "504", .Caption = "XXXX", .ToolTipText = "To add the domain to the trusted list.", .HelpContextID = 1103});
  Add({.Name = "cmdCancel", .Id = IDC_CMDCANCEL, .Tag = "505", .Caption = "XXXX", .ToolTipText = "To cancel and return to the Options window", .HelpContextID = 1104});
  Add({.Name = "cmdHelp", .Id = IDC_CMDHELP, .Tag = "506", .Caption = "XXXX", .HelpContextID = 1100});
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
    context_.state.gblTrust.push_back(name);
    context_.forms.TrustedSitesChanged();
    context_.state.trustUnread = false;  // the user's list from now on
    context_.host.Unload(Name);
  } else if (control == "cmdCancel") {
    context_.host.Unload(Name);
  } else if (control == "cmdHelp") {
    ShowHelpContents(context_.services);
  }
}

}  // namespace quellbox
