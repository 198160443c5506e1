#pragma once
// The ports the engine runs on, handed in by the platform (real Win32, or the simulator).
#include "core/browser.h"
#include "core/environment.h"
#include "core/registry_api.h"
#include "core/system_ports.h"
#include "core/ui_ports.h"

namespace quellbox {

struct Services {
  RegistryApi& registry;
  Environment& env;
  Clock& clock;
  Sound& sound;
  Launcher& launcher;
  Input& input;
  BrowserShell& shell;
  Tray& tray;
  MenuPresenter& menus;
  HelpViewer& help;
  MessageBoxes& messages;
  WindowManager& windows;
};

}  // namespace quellbox
