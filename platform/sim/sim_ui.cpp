#include "platform/sim/sim_ui.h"

namespace quellbox::sim {

bool SimTray::Add(const TrayIconRecord& record) {
  calls.push_back("add");
  if (shown) return false;
  shown = record;
  return true;
}

bool SimTray::Modify(const TrayIconRecord& record) {
  calls.push_back("modify");
  if (!shown || shown->uID != record.uID) return false;
  shown = record;
  return true;
}

bool SimTray::Delete(std::uint32_t uID) {
  calls.push_back("delete");
  if (!shown || shown->uID != uID) return false;
  shown.reset();
  return true;
}

std::intptr_t SimHelp::DisplayToc(std::intptr_t, const std::string& file) {
  calls.push_back("toc " + file);
  return available ? 4242 : 0;
}

std::intptr_t SimHelp::DisplayTextPopup(std::intptr_t, const std::string& file, const Popup& popup) {
  calls.push_back("popup " + file + " " + std::to_string(popup.topic));
  return available ? 4343 : 0;
}

void SimMessages::Show(const std::string& text, const std::string& caption, MessageIcon icon) {
  shown.push_back({text, caption, icon});
}

SimPorts::SimPorts(const std::string& programDirectory, const std::string& tempDirectory)
    : env(programDirectory), launcher(tempDirectory) {}

}  // namespace quellbox::sim
