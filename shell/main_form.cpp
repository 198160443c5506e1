#include "shell/main_form.h"

#include "core/spyware_list.h"

namespace quellbox {

MainForm::MainForm(Services& services, InstanceLock& instanceLock, AppState& state,
                   ReportObserver* reports)
    : services_(services), instanceLock_(instanceLock), state_(state), engine_{services, state, reports} {}

bool MainForm::FormLoad() {
  // Per session and per executable name: another user's Quellbox has its own settings and tray.
  if (!instanceLock_.ClaimSingleInstance("Tarnik." + services_.env.ExeBaseName())) return false;
  if (!LoadSettings(services_, state_)) ApplyFirstRunDefaults(services_, state_);
  state_.SpywareList = LoadSpywareList(services_);
  state_.settings.KillerEnabled = true;
  // Settings and lists are in memory before the first window is judged.
  IEWin_ = cIEWindows::Create(engine_);
  return true;
}

void MainForm::Timer1Timer() { SaveSettings(services_, state_); }

void MainForm::FormQueryUnload() { SaveSettings(services_, state_); }

void MainForm::FormUnload() {
  SaveSettings(services_, state_);
  IEWin_.reset();  // disconnects from the shell and drops the monitors; browsers stay open
}

}  // namespace quellbox
