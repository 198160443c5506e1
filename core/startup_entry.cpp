#include "core/startup_entry.h"

#include "core/text_file.h"

namespace quellbox {
namespace {

cRegistry RunEntry(Services& services) {
  cRegistry reg(services.registry, services.env.ExeBaseName());
  reg.ClassKey = kHkeyCurrentUser;
  reg.SectionKey = kRunSection;
  reg.ValueKey = services.env.ExeBaseName();
  reg.ValueType = static_cast<std::uint32_t>(RegType::Sz);
  return reg;
}

}  // namespace

std::optional<RegistryError> RegisterStartup(Services& services) {
  cRegistry reg = RunEntry(services);
  std::string path = services.env.PathInProgramDirectory(services.env.ExeBaseName() + ".exe");
  // Windows splits an unquoted command line at the first blank and tries each prefix as a
  // program: "C:\Program Files\..." would start C:\Program.exe if there were one.
  if (path.find(' ') != std::string::npos) path = "\"" + path + "\"";
  return reg.SetValue(path);
}

void UnregisterStartup(Services& services) {
  cRegistry reg = RunEntry(services);
  if (!reg.Value().empty()) reg.DeleteValue();
}

void ReadAffiliateFile(Services& services, Settings& settings) {
  std::string path = services.env.PathInProgramDirectory("version.txt");
  if (auto content = ReadWholeFile(path)) settings.Affiliate = services.env.FromCodePage(*content);
  DeleteFileAt(path);
}

}  // namespace quellbox
