#pragma once
// The hidden main window: start-up order, the periodic save and shutdown.
#include <memory>

#include "core/environment.h"
#include "core/settings.h"
#include "monitor/reports.h"
#include "tracking/ie_windows.h"

namespace quellbox {

class MainForm {
 public:
  static constexpr unsigned kTimer1IntervalMs = 60000;

  MainForm(Services& services, InstanceLock& instanceLock, AppState& state,
           ReportObserver* reports = nullptr);

  // False when another instance already runs: the caller ends the process without a trace.
  bool FormLoad();
  void Timer1Timer();
  void FormQueryUnload();
  void FormUnload();

  AppState& State() { return state_; }
  Engine& GetEngine() { return engine_; }
  const std::shared_ptr<cIEWindows>& IEWin() const { return IEWin_; }

 private:
  Services& services_;
  InstanceLock& instanceLock_;
  AppState& state_;
  Engine engine_;
  std::shared_ptr<cIEWindows> IEWin_;
};

}  // namespace quellbox
