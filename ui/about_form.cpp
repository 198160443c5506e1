#include "ui/about_form.h"

#include "core/browser_start.h"
#include "core/version.h"
#include "resources/resource.h"
#include "ui/html_help.h"
#include "ui/menu_form.h"

namespace quellbox {

FrmAbout::FrmAbout(DialogContext& context) : Dialog(context) {
  Name = "FrmAbout";
  Tag = "101";
  Add({.Name = "Frame1", .Id = IDC_AB_FRAME1, .ToolTipText = "The Quellbox version and contact information."});
  Add({.Name = "Picture1", .Id = IDC_AB_PICTURE1});
  Add({.Name = "Label3", .Id = IDC_AB_LABEL3, .Caption = "QuellBOX"});
  Add({.Name = "Label1", .Id = IDC_AB_LABEL1, .Tag = "108", .Caption = "XXXX"});
  Add({.Name = "lblVersion", .Id = IDC_LBLVERSION, .Tag = "107", .Caption = "XXXX"});
  Add({.Name = "Label4", .Id = IDC_AB_LABEL4, .Tag = "102", .Caption = "XXXX"});
  Add({.Name = "Label5", .Id = IDC_AB_LABEL5, .Caption = kMakerSite, .ForeColor = kYellow});
  Add({.Name = "Label6", .Id = IDC_AB_LABEL6, .Tag = "103", .Caption = "XXXX"});
  Add({.Name = "label8", .Id = IDC_AB_LABEL8, .Caption = kSalesAddress, .ForeColor = kYellow});
  Add({.Name = "Label7", .Id = IDC_AB_LABEL7, .Tag = "104", .Caption = "XXXX"});
  Add({.Name = "Label9", .Id = IDC_AB_LABEL9, .Caption = kSupportAddress, .ForeColor = kYellow});
  Add({.Name = "Label2", .Id = IDC_AB_LABEL2, .Caption = "Quellbox is made by Tarnik. Copyright 2003-2026 Tarnik."});
  Add({.Name = "cmdOk", .Id = IDC_CMDOK, .Tag = "105", .Caption = "XXXX", .ToolTipText = "Click to continue", .HelpContextID = 1001});
  Add({.Name = "cmdHelp", .Id = IDC_CMDHELP, .Tag = "106", .Caption = "XXXX", .HelpContextID = 1000});
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
