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
  return reg.SetValue(services.env.PathInProgramDirectory(services.env.ExeBaseName() + ".exe"));
}

void UnregisterStartup(Services& services) {
  cRegistry reg = RunEntry(services);
  if (!reg.Value().empty()) reg.DeleteValue();
}

void ReadAffiliateFile(Services& services, Settings& settings) {
  std::string path = services.env.PathInProgramDirectory("version.txt");
  if (auto content = ReadWholeFile(path)) settings.Affiliate = *content;
  DeleteFileAt(path);
}

}  // namespace quellbox
