#pragma once
// The hidden main window: start-up order, the tray icon, the periodic save and shutdown.
#include <memory>
#include <string>

#include "core/environment.h"
#include "core/settings.h"
#include "monitor/engine.h"
#include "tracking/ie_windows.h"
#include "ui/menu_form.h"

namespace quellbox {

class MainForm : public MenuHost {
 public:
  static constexpr unsigned kTimer1IntervalMs = 60000;
  // The mouse messages the tray icon's notification carries.
  static constexpr std::uint32_t kMouseMove = 0x200, kLeftDown = 0x201, kRightDown = 0x204,
                                 kLeftDoubleClick = 0x203, kBalloonClick = 0x405;

  MainForm(Services& services, InstanceLock& instanceLock, AppState& state);

  // False when another instance already runs: the caller ends the process without a trace.
  bool FormLoad();
  void Timer1Timer();
  void FormQueryUnload();
  void FormUnload();

  void CreateIcon();
  void DeleteIcon();
  void ModIcon(TrayImage image) override;
  void TrayNotify(std::uint32_t mouseMessage);
  // Explorer restarted: its notification area needs the icon again, and its window list,
  // which lives in Explorer, has to be opened anew.
  void TaskbarCreated();
  // Called every few seconds: adds the tray icon when the shell refused it, and opens the
  // shell's window list when it was not up at start or a call found it gone. True when the
  // collection hears the shell.
  bool KeepConnected();
  // Called every two seconds too: once pop-ups stopped coming for a tick, one balloon for them,
  // if the user asked for it.
  void NoticeTick();

  void ShowForm(const std::string& name) override;
  void ShowHelpContents() override;
  void UnloadAllForms() override;
  void TrustedSitesChanged() override;

  frmMenu& Menu();  // loaded on first use
  Engine& GetEngine() { return engine_; }
  const std::shared_ptr<cIEWindows>& IEWin() const { return IEWin_; }
  std::string Caption;

 private:
  void AddIcon();

  Services& services_;
  InstanceLock& instanceLock_;
  AppState& state_;
  Engine engine_;
  std::shared_ptr<cIEWindows> IEWin_;
  TrayIconRecord record_;
  bool iconShown_ = false;
  bool iconPending_ = false;  // shown, but the shell has not taken it yet
  std::unique_ptr<frmMenu> menu_;
  std::uint64_t blockedSeen_ = 0, blockedNoticed_ = 0;
};

}  // namespace quellbox
