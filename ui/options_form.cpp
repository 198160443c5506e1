#include "ui/options_form.h"

#include <algorithm>

#include "core/convert.h"
#include "core/startup_entry.h"
#include "resources/resource.h"
#include "ui/html_help.h"

namespace quellbox {

frmOptions::frmOptions(DialogContext& context) : Dialog(context) {
  Name = "frmOptions";
  Tag = "300";
  Caption = "XXXXXXX";
  Add({.Name = "tabAll", .Id = IDC_TABALL, .Tag = "301", .Caption = "XXXX"});
  Add({.Name = "Frame1", .Id = IDC_FRAME1, .In = "tabAll", .Tag = "315", .Caption = "XXXX"});
  Add({.Name = "chkStartup", .Id = IDC_CHKSTARTUP, .In = "Frame1", .Tag = "303", .Caption = "XXXX", .HelpContextID = 1301});
  Add({.Name = "chkKeepLog", .Id = IDC_CHKKEEPLOG, .In = "Frame1", .Tag = "304", .Caption = "XXXX", .HelpContextID = 1302});
  Add({.Name = "chkDisable", .Id = IDC_CHKDISABLE, .In = "Frame1", .Tag = "305", .Caption = "XXXX", .HelpContextID = 1303});
  Add({.Name = "cmboKeys", .Id = IDC_CMBOKEYS, .In = "Frame1", .Tag = "331", .HelpContextID = 1304, .HasCaption = false});
  Add({.Name = "chkFullScreen", .Id = IDC_CHKFULLSCREEN, .In = "Frame1", .Caption = "Do not allow scripts to resize IE windows to full screen"});
  Add({.Name = "chkSpyware", .Id = IDC_CHKSPYWARE, .In = "Frame1", .Caption = "Stop Adware/Spyware Windows"});
  Add({.Name = "optStrict", .Id = IDC_OPTSTRICT, .In = "Frame1", .Caption = "Strict - 99.99% of adware windows will not open"});
  Add({.Name = "optLight", .Id = IDC_OPTLIGHT, .In = "Frame1", .Caption = "Light - some adware windows may open"});
  Add({.Name = "Frame2", .Id = IDC_FRAME2, .In = "tabAll", .Tag = "306", .Caption = "XXXX"});
  Add({.Name = "chkNotify", .Id = IDC_CHKNOTIFY, .In = "Frame2", .Tag = "323", .Caption = "XXXX", .HelpContextID = 1314});
  Add({.Name = "optSound", .Index = 0, .Id = IDC_OPTSOUND0, .In = "Frame2", .Tag = "307", .Caption = "XXXX", .HelpContextID = 1305});
  Add({.Name = "optSound", .Index = 1, .Id = IDC_OPTSOUND1, .In = "Frame2", .Tag = "308", .Caption = "XXXX", .HelpContextID = 1306});
  Add({.Name = "optSound", .Index = 2, .Id = IDC_OPTSOUND2, .In = "Frame2", .Tag = "309", .Caption = "XXXX", .HelpContextID = 1307});
  Add({.Name = "Frame3", .Id = IDC_FRAME3, .In = "Frame2", .Visible = false});
  Add({.Name = "Label3", .Id = IDC_LABEL3, .In = "Frame3", .Tag = "310", .Caption = "XXXX"});
  Add({.Name = "lblFile", .Id = IDC_LBLFILE, .In = "Frame3"});
  Add({.Name = "cmdGetFile", .Id = IDC_CMDGETFILE, .In = "Frame3", .Tag = "311", .Caption = "XXXX", .HelpContextID = 1308});
  Add({.Name = "cmdTestFile", .Id = IDC_CMDTESTFILE, .In = "Frame3", .Tag = "312", .Caption = "XXXX", .HelpContextID = 1309});
  Add({.Name = "Frame6", .Id = IDC_FRAME6, .In = "tabAll"});
  Add({.Name = "label8", .Id = IDC_LABEL8, .In = "Frame6", .Tag = "302", .Caption = "XXXX"});
  Add({.Name = "Label9", .Id = IDC_LABEL9, .In = "Frame6"});
  Add({.Name = "Frame5", .Id = IDC_FRAME5});
  Add({.Name = "cmdClose", .Id = IDC_CMDCLOSE, .In = "Frame5", .Tag = "313", .Caption = "XXXX", .HelpContextID = 1310});
  Add({.Name = "cmdHelp", .Id = IDC_CMDHELP, .In = "Frame5", .Tag = "314", .Caption = "XXXX", .HelpContextID = 1300});
}

void frmOptions::Form_Load() {
  const Settings& s = context_.state.settings;
  (*this)["lblFile"].Caption = s.WaveFile;
  SetValue("chkStartup", -1, s.Startup == 1 ? 1 : 0);
  SetValue("chkKeepLog", -1, s.Log == 1 ? 1 : 0);
  SetValue("chkDisable", -1, s.Disable == 1 ? 1 : 0);
  SetValue("chkFullScreen", -1, s.Normalize ? 1 : 0);
  SetValue("chkNotify", -1, s.Notify ? 1 : 0);
  if (auto sound = TextToInteger(s.Sound); sound && *sound >= 0 && *sound <= 2) SelectOption("optSound", *sound);
  Control& keys = (*this)["cmboKeys"];
  keys.Items = {"SHIFT KEY", "CTRL KEY"};
  if (s.Keys == 0 || s.Keys == 1) SetListIndex("cmboKeys", s.Keys);  // any other value: no selection
  if (s.Mode) SelectOption("optStrict", -1, {"optLight"});
  else SelectOption("optLight", -1, {"optStrict"});
  if (s.Spyware) {
    ModeButtonsEnabled(false);
    SetValue("chkSpyware", -1, 0);
  } else {
    SetValue("chkSpyware", -1, 1);
    ModeButtonsEnabled(true);
  }
  (*this)["Label9"].Caption = std::to_string(s.WindowsLeft);
  Localize();
  if (auto title = Text(300)) Caption = *title;
  if (auto tab = Text(301)) (*this)["tabAll"].Caption = *tab;
}

void frmOptions::ModeButtonsEnabled(bool enabled) {
  (*this)["optStrict"].Enabled = enabled;
  (*this)["optLight"].Enabled = enabled;
}

void frmOptions::Click(const std::string& control, int index) {
  Settings& s = context_.state.settings;
  const Control& c = At(control, index);
  if (control == "chkStartup") {
    s.Startup = static_cast<std::int16_t>(c.Value);
    if (s.Startup == 1) RegisterStartup(context_.services);
    else UnregisterStartup(context_.services);
  } else if (control == "chkKeepLog") {
    s.Log = static_cast<std::int16_t>(c.Value);
  } else if (control == "chkDisable") {
    s.Disable = static_cast<std::int16_t>(c.Value);
  } else if (control == "chkFullScreen") {
    s.Normalize = c.Value != 0;
  } else if (control == "chkNotify") {
    s.Notify = c.Value != 0;
  } else if (control == "cmboKeys") {
    if (c.ListIndex >= 0) s.Keys = static_cast<std::int16_t>(c.ListIndex);
  } else if (control == "chkSpyware") {
    s.Spyware = c.Value == 0;
    ModeButtonsEnabled(c.Value != 0);
    context_.host.ReloadMenu();
  } else if (control == "optLight" && c.Value) {
    s.Mode = false;
    context_.host.ReloadMenu();
  } else if (control == "optStrict" && c.Value) {
    s.Mode = true;
    context_.host.ReloadMenu();
  } else if (control == "optSound" && c.Value) {
    s.Sound = std::to_string(index);
    (*this)["Frame3"].Visible = index == 2;
  } else if (control == "cmdGetFile") {
    auto path = context_.host.OpenFile(context_.services.env.ProgramDirectory(), "Wave files|*.wav", "QuellBOX");
    if (!path) return;  // cancelled
    s.WaveFile = *path;
    (*this)["lblFile"].Caption = s.WaveFile;
  } else if (control == "cmdTestFile") {
    context_.services.sound.PlayWave(s.WaveFile);
  } else if (control == "cmdClose") {
    context_.host.Unload(Name);
  } else if (control == "cmdHelp") {
    ShowHelpContents(context_.services);
  }
}

void frmOptions::Form_Resize() {
  Control& tab = (*this)["tabAll"];
  Control& bottom = (*this)["Frame5"];
  const char* frames[] = {"Frame1", "Frame2", "Frame6"};
  int widest = 0;
  for (const char* f : frames) widest = std::max(widest, (*this)[f].Width);
  Height = std::max(Height, tab.Height + bottom.Height + 700);
  Width = std::max(Width, widest + 700);
  tab.Width = Width - 400;
  tab.Left = (Width - tab.Width) / 2;
  bottom.Left = tab.Left;
  bottom.Width = tab.Width;
  for (const char* f : frames) (*this)[f].Left = (tab.Width - (*this)[f].Width) / 2;
  Control& close = (*this)["cmdClose"];
  Control& help = (*this)["cmdHelp"];
  close.Left = (bottom.Width - 2 * close.Width - 40) / 2;
  help.Left = close.Left + close.Width + 40;
  tab.Top = (Height - tab.Height - bottom.Height - 200) / 2;
  bottom.Top = tab.Top + tab.Height + 100;
}

}  // namespace quellbox
