#include "core/settings.h"

#include "core/convert.h"
#include "core/registry.h"
#include "core/startup_entry.h"
#include "core/text_file.h"
#include "core/version.h"

namespace quellbox {
namespace {

cRegistry SettingsKey(Services& services) {
  cRegistry reg(services.registry, services.env.ExeBaseName());
  reg.ClassKey = kHkeyCurrentUser;
  reg.SectionKey = SettingsSection(services.env);
  return reg;
}

std::string Read(cRegistry& reg, const char* name) {
  reg.ValueKey = name;
  return reg.Value();
}

// A value that does not convert leaves the field as it was.
template <typename T, typename Convert>
void ReadInto(cRegistry& reg, const char* name, T& field, Convert convert) {
  if (auto value = convert(Read(reg, name))) field = *value;
}

void Write(cRegistry& reg, const char* name, const std::string& text) {
  reg.ValueKey = name;
  reg.SetValue(text);  // a failed write is not reported: the next save tries again
}

}  // namespace

bool Settings::SoundIs(int value) const {
  auto number = TextToNumber(Sound);
  return number && *number == value;
}

std::string SettingsSection(Environment& env) {
  return "Software\\Tarnik\\" + env.ExeBaseName() + "\\";
}

std::string RunningVersionText() {
  return std::to_string(kVersion.major) + std::to_string(kVersion.minor) +
         std::to_string(kVersion.revision);
}

bool LoadSettings(Services& services, AppState& state) {
  Settings& s = state.settings;
  cRegistry reg = SettingsKey(services);
  s.Version = Read(reg, "Version");

  std::string mode = Read(reg, "Mode");
  if (mode.empty()) s.Mode = false;
  else if (auto b = TextToBoolean(mode)) s.Mode = *b;

  if (s.Version.empty()) return false;

  ReadInto(reg, "Startup", s.Startup, TextToInteger);
  ReadInto(reg, "Log", s.Log, TextToInteger);
  ReadInto(reg, "Disable", s.Disable, TextToInteger);
  s.Sound = Read(reg, "Sound");
  s.WaveFile = Read(reg, "WaveFile");
  ReadInto(reg, "WindowsLeft", s.WindowsLeft, TextToLong);
  ReadInto(reg, "Keys", s.Keys, TextToInteger);
  ReadInto(reg, "Spyware", s.Spyware, TextToBoolean);
  s.Affiliate = Read(reg, "Affiliate");
  if (s.Affiliate.empty()) s.Affiliate = "111";

  ReadInto(reg, "Normalize", s.Normalize, TextToBoolean);
  ReadInto(reg, "Notify", s.Notify, TextToBoolean);
  // Releases before 3.0.75 had no such option; their users get the protection on.
  if (auto version = TextToNumber(s.Version); version && *version < 3075) s.Normalize = true;

  services.env.DoEvents();
  LoadTrustedHosts(services, state);
  return true;
}

bool LoadTrustedHosts(Services& services, AppState& state) {
  bool missing = false;
  auto content = ReadWholeFile(services.env.PathInProgramDirectory(kTrustFile), &missing);
  state.trustUnread = !content && !missing;
  if (!content) return false;
  for (std::string& line : SplitLinesAtCr(services.env.FromCodePage(*content)))
    state.gblTrust.push_back(std::move(line));
  return true;
}

void ApplyFirstRunDefaults(Services& services, AppState& state) {
  Settings& s = state.settings;
  s.Version = RunningVersionText();
  s.KillerEnabled = true;
  s.WaveFile = services.env.PathInProgramDirectory("357.wav");
  s.Sound = "2";
  s.Normalize = true;
  s.Mode = true;
  s.WindowsLeft = 0;
  s.Log = 1;
  s.Disable = 1;
  s.Startup = 1;
  s.Keys = 1;
  s.Spyware = false;
  // Without a Run entry the rest of the first-run setup is skipped; start-up goes on.
  if (RegisterStartup(services)) return;
  ReadAffiliateFile(services, s);
}

bool SaveSettings(Services& services, AppState& state) {
  const Settings& s = state.settings;
  cRegistry reg = SettingsKey(services);
  reg.ValueType = static_cast<std::uint32_t>(RegType::Sz);
  Write(reg, "Version", RunningVersionText());
  Write(reg, "Startup", std::to_string(s.Startup));
  Write(reg, "Log", std::to_string(s.Log));
  Write(reg, "Disable", std::to_string(s.Disable));
  Write(reg, "Sound", s.Sound);
  Write(reg, "WaveFile", s.WaveFile);
  Write(reg, "WindowsLeft", ZeroPadded(s.WindowsLeft, 6));
  Write(reg, "Keys", std::to_string(s.Keys));
  Write(reg, "Dir", services.env.ProgramDirectory());
  Write(reg, "Spyware", BooleanText(s.Spyware));
  Write(reg, "Affiliate", s.Affiliate);
  Write(reg, "Mode", BooleanText(s.Mode));
  Write(reg, "Normalize", BooleanText(s.Normalize));
  Write(reg, "Notify", BooleanText(s.Notify));

  // A list that could not be read at start is read now if it can be; until then the file stays.
  if (state.trustUnread && !LoadTrustedHosts(services, state)) return true;
  std::string content;
  for (const std::string& entry : state.gblTrust) content += entry + "\r\n";
  WriteWholeFile(services.env.PathInProgramDirectory(kTrustFile), services.env.ToCodePage(content));
  return true;
}

}  // namespace quellbox
