#include "shell/main_form.h"

#include <utility>

#include "core/spyware_list.h"
#include "shell/tray_tip.h"
#include "ui/html_help.h"
#include "ui/strings.h"

namespace quellbox {

MainForm::MainForm(Services& services, InstanceLock& instanceLock, AppState& state)
    : services_(services), instanceLock_(instanceLock), state_(state), engine_{services, state} {}

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
  // Disconnects from the shell and drops the monitors; browsers stay open. This may run inside a
  // pass of the collection (a close that arrives while its calls wait), which then stops.
  if (auto windows = std::exchange(IEWin_, nullptr)) windows->Close();
}

void MainForm::CreateIcon() {
  record_ = TrayIconRecord{};
  record_.image = TrayImage::Normal;
  record_.szTip = TipField(TrayTipText(state_.settings.WindowsLeft));
  iconShown_ = true;
  AddIcon();
}

void MainForm::AddIcon() {
  // A shell that is starting refuses the icon; one that kept it across a restart refuses the
  // add but takes the change.
  iconPending_ = !services_.tray.Add(record_) && !services_.tray.Modify(record_);
}

void MainForm::DeleteIcon() {
  services_.tray.Delete(record_.uID);
  iconShown_ = false;
  iconPending_ = false;
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
    case kBalloonClick:
      if (auto chosen = services_.menus.TrackPopupMenu(Menu().BlockedItems())) Menu().Click(*chosen);
      break;
    default:
      break;
  }
}

void MainForm::TaskbarCreated() {
  if (iconShown_) AddIcon();
  // Held here: the reconnection's calls let messages in, a close among them.
  if (auto windows = IEWin_) windows->Reconnect();
}

bool MainForm::KeepConnected() {
  if (iconPending_) AddIcon();
  auto windows = IEWin_;  // held: the calls below let messages in, a close among them
  if (!windows) return false;
  if (!windows->ShellConnected()) windows->Reconnect();
  return windows->ShellConnected();
}

void MainForm::NoticeTick() {
  std::uint64_t total = state_.blocked.Total();
  if (std::exchange(blockedSeen_, total) != total || total == blockedNoticed_) return;
  std::uint64_t count = total - std::exchange(blockedNoticed_, total);
  const auto& entries = state_.blocked.Entries();
  if (!state_.settings.Notify || !iconShown_ || entries.empty()) return;
  services_.tray.ShowBalloon(record_.uID, "Quellbox", Menu().BlockedNotice(count, entries.front().Site()));
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

void MainForm::TrustedSitesChanged() { services_.windows.TrustedSitesChanged(); }

}  // namespace quellbox
