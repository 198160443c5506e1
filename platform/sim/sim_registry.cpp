#include "platform/sim/sim_registry.h"

#include "core/convert.h"

namespace quellbox::sim {

std::string SimRegistry::KeyPath(std::uint32_t root, const std::string& section) {
  std::string path = std::to_string(root);
  std::string part;
  for (char c : section + "\\") {
    if (c == '\\') {
      if (!part.empty()) path += "\\" + UpperAscii(part);
      part.clear();
    } else {
      part += c;
    }
  }
  return path;
}

void SimRegistry::Note(const char* verb, const std::string& section, const std::string& name) {
  std::string op = std::string(verb) + " " + section + (section.ends_with("\\") ? "" : "\\") + name;
  journal.push_back(op);
}

std::optional<RegData> SimRegistry::QueryValue(std::uint32_t root, const std::string& section,
                                               const std::string& name) {
  Note("query", section, name);
  std::string path = KeyPath(root, section);
  if (denied_.count(path)) return std::nullopt;
  auto key = keys_.find(path);
  if (key == keys_.end()) return std::nullopt;
  auto value = key->second.values.find(UpperAscii(name));
  if (value == key->second.values.end()) return std::nullopt;
  return value->second.second;
}

RegStatus SimRegistry::SetValue(std::uint32_t root, const std::string& section,
                                const std::string& name, const RegData& data) {
  Note("set", section, name);
  std::string path = KeyPath(root, section);
  if (denied_.count(path)) return RegStatus::KeyFailed;
  Key& key = keys_[path];
  std::string upper = UpperAscii(name);
  key.values[upper] = {name, data};
  return RegStatus::Ok;
}

RegStatus SimRegistry::DeleteValue(std::uint32_t root, const std::string& section,
                                   const std::string& name) {
  Note("delete", section, name);
  std::string path = KeyPath(root, section);
  auto key = keys_.find(path);
  if (denied_.count(path) || key == keys_.end()) return RegStatus::KeyFailed;
  std::string upper = UpperAscii(name);
  if (!key->second.values.erase(upper)) return RegStatus::ValueFailed;
  return RegStatus::Ok;
}

// No variables are set here: Windows leaves unknown %NAME%s as they are.
std::string SimRegistry::ExpandEnvironment(const std::string& text) { return text; }

void SimRegistry::Put(const std::string& section, const std::string& name, std::uint32_t type,
                      const std::string& bytes, std::uint32_t root) {
  Key& key = keys_[KeyPath(root, section)];
  std::string upper = UpperAscii(name);
  key.values[upper] = {name, RegData{type, bytes}};
}

void SimRegistry::PutText(const std::string& section, const std::string& name,
                          const std::string& text) {
  Put(section, name, static_cast<std::uint32_t>(RegType::Sz), text + std::string(1, '\0'));
}

std::optional<RegData> SimRegistry::Get(const std::string& section, const std::string& name,
                                        std::uint32_t root) const {
  auto key = keys_.find(KeyPath(root, section));
  if (key == keys_.end()) return std::nullopt;
  auto value = key->second.values.find(UpperAscii(name));
  if (value == key->second.values.end()) return std::nullopt;
  return value->second.second;
}

std::optional<std::string> SimRegistry::GetText(const std::string& section,
                                                const std::string& name) const {
  auto data = Get(section, name);
  if (!data) return std::nullopt;
  std::string text = data->bytes;
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

bool SimRegistry::KeyExists(const std::string& section, std::uint32_t root) const {
  return keys_.count(KeyPath(root, section)) != 0;
}

void SimRegistry::DenyKey(const std::string& section) {
  denied_.insert(KeyPath(kHkeyCurrentUser, section));
}

}  // namespace quellbox::sim
