#include "platform/sim/sim_system.h"

#include <filesystem>

namespace quellbox::sim {

double SimClock::RandomFraction() {
  int call = randomCalls++;
  if (static_cast<std::size_t>(call) < randoms.size()) return randoms[static_cast<std::size_t>(call)];
  return static_cast<double>((call * 7919 + 104729) % 100003) / 100003.0;
}

void SimSound::Beep(unsigned frequencyHz, unsigned durationMs) {
  played.push_back("beep " + std::to_string(frequencyHz) + " " + std::to_string(durationMs));
}

void SimSound::PlayWave(const std::string& path) { played.push_back("wave " + path); }

ExecutableLookup SimLauncher::LookUpExecutable(const std::string& file, const std::string& directory) {
  // Like the shell, the lookup fails for a file that does not exist.
  bool exists = std::filesystem::exists(directory + file);
  if (!exists) return {2, {}};  // SE_ERR_FNF
  if (browser.empty()) return {31, {}};  // SE_ERR_NOASSOC
  return {42, browser};
}

bool SimLauncher::StartProcess(const std::string& application, const std::string& commandLine) {
  if (!processStarts) return false;
  started.push_back({application, commandLine});
  return true;
}

bool SimLauncher::ShellOpen(const std::string& target) {
  shellOpened.push_back(target);
  return true;
}

}  // namespace quellbox::sim
