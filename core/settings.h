#pragma once
// The one settings record of the process, with its load, first-run values and save.
#include <cstdint>
#include <string>
#include <vector>

#include "core/blocked_popups.h"
#include "core/services.h"

namespace quellbox {

struct Settings {
  // Stored under HKCU\Software\Tarnik\<exe base name>, all as text values.
  std::string Version;
  std::int16_t Startup = 0;
  std::int16_t Log = 0;  // only exactly 1 logs
  std::int16_t Disable = 0;
  std::string Sound;  // kept as read; compared by its numeric value
  std::string WaveFile;
  std::int32_t WindowsLeft = 0;
  std::int16_t Keys = 0;  // 0 SHIFT, anything else CTRL
  bool Spyware = false;   // true switches adware/spyware blocking off
  std::string Affiliate;
  bool Mode = false;  // true strict, false light
  bool Normalize = false;
  bool Notify = false;  // a balloon from the tray icon after each burst of blocked pop-ups

  // Run-time only.
  bool KillerEnabled = false;
  std::int32_t ClosedSinceStart = 0;

  bool SoundIs(int value) const;
};

// Flags shared by every monitor and the window collection, read and written on the one UI
// thread in the order events arrive.
struct PopupFlags {
  bool UserGesture = false;         // a click or context menu that may ask for a window
  bool NewWindowAllowed = false;    // the next window to register was asked for
  bool ForwardProbePending = false; // an attach started a forward navigation to undo
  std::int32_t RestoreWidth = 0;    // the size a blown-up window goes back to
  std::int32_t RestoreHeight = 0;
  bool InitialScan = false;         // the collection is wrapping the windows open at start-up
};

// State that lives as long as the program.
struct AppState {
  int LangOffset = 0;  // the language block of the string table
  PopupFlags flags;
  Settings settings;
  std::vector<std::string> gblTrust;  // trusted hosts, in file order
  // trust.hosts exists but could not be read: saves must not replace the user's file with the
  // empty list until it has been read or the user has changed the list.
  bool trustUnread = false;
  std::vector<std::string> SpywareList;
  BlockedPopups blocked;
  // Hosts the user allowed from the blocked list until Quellbox exits; never stored.
  std::vector<std::string> allowedThisRun;
};

std::string SettingsSection(Environment& env);
std::string RunningVersionText();
inline constexpr const char* kTrustFile = "trust.hosts";

// True when stored settings were found (a non-empty "Version").
bool LoadSettings(Services& services, AppState& state);
void ApplyFirstRunDefaults(Services& services, AppState& state);
// Appends the lines of trust.hosts to the trusted list; false when the file cannot be read
// (`trustUnread` then tells a file that exists from one that does not).
bool LoadTrustedHosts(Services& services, AppState& state);
// Writes the whole record and the whole trusted list; always answers true.
bool SaveSettings(Services& services, AppState& state);

}  // namespace quellbox
