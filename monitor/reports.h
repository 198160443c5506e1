#pragma once
// What monitors report of their events. Nothing in the program acts on reports; they exist so
// that a watcher (a test, the scenario runner) can see what a monitor heard.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "core/services.h"
#include "core/settings.h"

namespace quellbox {

struct ObjectArg {
  bool operator==(const ObjectArg&) const = default;
};
using ReportValue = std::variant<ObjectArg, bool, std::int16_t, std::int32_t, float, std::string>;

struct MonitorReport {
  int id = 0;                  // 1 BeforeNavigate2, 2 NavigateComplete2, 4 DownloadComplete,
                               // 5 DocumentComplete, 7 mouse-up, 8 context menu, 9 CommandStateChange
  std::int32_t window = 0;     // the monitor's recorded window handle
  std::vector<ReportValue> args;
};

class ReportObserver {
 public:
  virtual ~ReportObserver() = default;
  virtual void OnReport(const MonitorReport& report) = 0;
};

// What the monitors and the window collection share.
struct Engine {
  Services& services;
  AppState& state;
  ReportObserver* reports = nullptr;
};

// The browser property that names windows without a handle.
inline constexpr const char* kWindowIdProperty = "quellbox";

}  // namespace quellbox
