#include "shell/main_form.h"

#include "core/spyware_list.h"

namespace quellbox {

MainForm::MainForm(Services& services, InstanceLock& instanceLock, AppState& state)
    : services_(services), instanceLock_(instanceLock), state_(state) {}

bool MainForm::FormLoad() {
  // Per session and per executable name: another user's Quellbox has its own settings and tray.
  if (!instanceLock_.ClaimSingleInstance("Tarnik." + services_.env.ExeBaseName())) return false;
  if (!LoadSettings(services_, state_)) ApplyFirstRunDefaults(services_, state_);
  state_.SpywareList = LoadSpywareList(services_);
  state_.settings.KillerEnabled = true;
  return true;
}

void MainForm::Timer1Timer() { SaveSettings(services_, state_); }

void MainForm::FormQueryUnload() { SaveSettings(services_, state_); }

void MainForm::FormUnload() { SaveSettings(services_, state_); }

}  // namespace quellbox
