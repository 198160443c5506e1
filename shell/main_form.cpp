#include "shell/main_form.h"

#include "core/spyware_list.h"
#include "shell/tray_tip.h"
#include "ui/html_help.h"
#include "ui/strings.h"

namespace quellbox {

MainForm::MainForm(Services& services, InstanceLock& instanceLock, AppState& state,
                   ReportObserver* reports)
    : services_(services), instanceLock_(instanceLock), state_(state), engine_{services, state, reports} {}

bool MainForm::FormLoad() {
  state_.LangOffset =
      SelectLanguage(services_.env.UserDefaultLangId(), services_.env.SystemDefaultLangId());
  // Per session and per executable name: another user's Quellbox has its own settings and tray.
  if (!instanceLock_.ClaimSingleInstance("Tarnik." + services_.env.ExeBaseName())) return false;
  if (!LoadSettings(services_, state_)) {
    ApplyFirstRunDefaults(services_, state_);
    // A trust.hosts found on a first run (settings removed, program reinstalled) is the
    // user's list: keep it rather than overwrite it with an empty one at the first save.
    LoadTrustedHosts(services_, state_);
  }
  state_.SpywareList = LoadSpywareList(services_);
  state_.settings.KillerEnabled = true;
  // Settings and lists are in memory before the first window is judged.
  IEWin_ = cIEWindows::Create(engine_);
  DeleteIcon();  // a leftover icon of a crashed run goes first
  CreateIcon();
  return true;
}

void MainForm::Timer1Timer() { SaveSettings(services_, state_); }

void MainForm::FormQueryUnload() { SaveSettings(services_, state_); }

void MainForm::FormUnload() {
  SaveSettings(services_, state_);
  DeleteIcon();
  IEWin_.reset();  // disconnects from the shell and drops the monitors; browsers stay open
}

void MainForm::CreateIcon() {
  record_ = TrayIconRecord{};
  record_.image = TrayImage::Normal;
  record_.szTip = TipField(TrayTipText(state_.settings.WindowsLeft));
  services_.tray.Add(record_);
  iconShown_ = true;
}

void MainForm::DeleteIcon() {
  services_.tray.Delete(record_.uID);
  iconShown_ = false;
}

void MainForm::ModIcon(TrayImage image) {
  record_.image = image;
  services_.tray.Modify(record_);
}

void MainForm::TrayNotify(std::uint32_t mouseMessage) {
  switch (mouseMessage) {
    case kLeftDown:
      Caption = "Left Click";
      break;
    case kRightDown:
      if (auto chosen = services_.menus.TrackPopupMenu(Menu().Items())) Menu().Click(*chosen);
      break;
    case kMouseMove:
      record_.szTip = TipField(TrayTipText(state_.settings.ClosedSinceStart));
      services_.tray.Modify(record_);
      break;
    case kLeftDoubleClick:
      Caption = "Double Click";
      break;
    default:
      break;
  }
}

void MainForm::TaskbarCreated() {
  if (iconShown_) services_.tray.Add(record_);
  if (IEWin_) IEWin_->Reconnect();
}

bool MainForm::KeepShellConnected() {
  if (!IEWin_) return false;
  if (!IEWin_->ShellConnected()) IEWin_->Reconnect();
  return IEWin_->ShellConnected();
}

frmMenu& MainForm::Menu() {
  if (!menu_) {
    menu_ = std::make_unique<frmMenu>(services_, state_, *this);
    menu_->Form_Load();
  }
  return *menu_;
}

void MainForm::ShowForm(const std::string& name) { services_.windows.ShowForm(name); }

void MainForm::ShowHelpContents() { quellbox::ShowHelpContents(services_); }

void MainForm::UnloadAllForms() { services_.windows.UnloadAllForms(); }

}  // namespace quellbox
