#pragma once
// The hidden main window: start-up order, the periodic save and shutdown.
#include "core/environment.h"
#include "core/settings.h"

namespace quellbox {

class MainForm {
 public:
  static constexpr unsigned kTimer1IntervalMs = 60000;

  MainForm(Services& services, InstanceLock& instanceLock, AppState& state);

  // False when another instance already runs: the caller ends the process without a trace.
  bool FormLoad();
  void Timer1Timer();
  void FormQueryUnload();
  void FormUnload();

  AppState& State() { return state_; }

 private:
  Services& services_;
  InstanceLock& instanceLock_;
  AppState& state_;
};

}  // namespace quellbox
