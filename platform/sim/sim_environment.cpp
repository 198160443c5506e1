#include "platform/sim/sim_environment.h"

namespace quellbox::sim {

std::string SimEnvironment::PathInProgramDirectory(const std::string& fileName) {
  return programDirectory_ + "/" + fileName;
}

std::optional<int> SimEnvironment::ProgramMajorVersion(const std::string& path) {
  auto it = programVersions.find(path);
  if (it == programVersions.end()) return std::nullopt;
  return it->second;
}

std::string SimEnvironment::FromCodePage(std::string_view stored) {
  std::string text;
  for (unsigned char c : stored) {
    if (c < 0x80) text += static_cast<char>(c);
    else text += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
  }
  return text;
}

std::string SimEnvironment::ToCodePage(std::string_view text) {
  std::string stored;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      stored += static_cast<char>(c);
      continue;
    }
    auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    bool latin1 = (c == 0xC2 || c == 0xC3) && (next & 0xC0) == 0x80;
    stored += latin1 ? static_cast<char>((c & 0x03) << 6 | (next & 0x3F)) : '?';
    while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) ++i;
  }
  return stored;
}

SimInstanceLock::SimInstanceLock(std::shared_ptr<SimInstanceTable> table)
    : table_(std::move(table)) {}

SimInstanceLock::~SimInstanceLock() {
  if (!held_.empty()) table_->claimed.erase(held_);
}

bool SimInstanceLock::ClaimSingleInstance(const std::string& name) {
  if (!table_->claimed.insert(name).second) return false;
  held_ = name;
  return true;
}

}  // namespace quellbox::sim
