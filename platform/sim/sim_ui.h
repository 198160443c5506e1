#pragma once
// Recorded stand-ins for the tray, the pop-up menu, help, message boxes and the window manager,
// and all simulated ports together.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/services.h"
#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_environment.h"
#include "platform/sim/sim_input.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_system.h"

namespace quellbox::sim {

class SimTray : public Tray {
 public:
  bool Add(const TrayIconRecord& record) override;
  bool Modify(const TrayIconRecord& record) override;
  bool Delete(std::uint32_t uID) override;
  bool ShowBalloon(std::uint32_t, const std::string&, const std::string& text) override {
    balloons.push_back(text);
    return shown.has_value();
  }

  std::vector<std::string> balloons;
  std::optional<TrayIconRecord> shown;  // what the notification area shows
  std::vector<std::string> calls;       // "add", "modify", "delete"
};

// The user closes every menu without a choice.
class SimMenus : public MenuPresenter {
 public:
  std::optional<std::string> TrackPopupMenu(const std::vector<MenuItem>&) override { return std::nullopt; }
};

class SimHelp : public HelpViewer {
 public:
  std::intptr_t DisplayToc(std::intptr_t owner, const std::string& file) override;
  std::intptr_t DisplayTextPopup(std::intptr_t owner, const std::string& file, const Popup& popup) override;

  std::vector<std::string> calls;  // "toc FILE", "popup FILE TOPIC"
  bool available = true;           // false: the help library is missing
};

class SimMessages : public MessageBoxes {
 public:
  void Show(const std::string& text, const std::string& caption, MessageIcon icon) override;
  struct Shown {
    std::string text, caption;
    MessageIcon icon;
  };
  std::vector<Shown> shown;
};

class SimWindows : public WindowManager {
 public:
  void ShowForm(const std::string&) override {}
  void UnloadAllForms() override {}
  void TrustedSitesChanged() override {}
};

// Every port of the simulated platform, and the services made of them.
struct SimPorts {
  SimPorts(const std::string& programDirectory, const std::string& tempDirectory);
  SimHub hub;
  SimRegistry registry;
  SimEnvironment env;
  SimClock clock;
  SimSound sound;
  SimLauncher launcher;
  SimInput input{hub};
  SimBrowserShell shell;
  SimTray tray;
  SimMenus menus;
  SimHelp help;
  SimMessages messages;
  SimWindows windows;
  Services services{registry, env,  clock, sound,    launcher, input,  shell,
                    tray,     menus, help,  messages, windows};
};

}  // namespace quellbox::sim
