#include "ui/strings.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace quellbox {
namespace {

struct Entry {
  int id;
  std::string_view text;
};

constexpr Entry kTable[] = {
#include "resources/strings.inc"
};

constexpr bool NoDuplicateIds() {
  for (std::size_t i = 1; i < std::size(kTable); ++i)
    for (std::size_t j = 0; j < i; ++j)
      if (kTable[i].id == kTable[j].id) return false;
  return true;
}
static_assert(NoDuplicateIds(), "every identifier appears once in the string table");

}  // namespace

std::optional<std::string> StringEntry(int id) {
  auto it = std::find_if(std::begin(kTable), std::end(kTable), [id](const Entry& e) { return e.id == id; });
  if (it == std::end(kTable)) return std::nullopt;
  return std::string(it->text);
}

std::vector<int> StringIds() {
  std::vector<int> ids;
  for (const Entry& e : kTable) ids.push_back(e.id);
  return ids;
}

int SelectLanguage(std::uint16_t userLangId, std::uint16_t systemLangId) {
  int primary = userLangId & 0xFF;
  if (primary == 0) primary = systemLangId & 0xFF;
  int offset = kEnglish;
  if (primary == 0x09) offset = kEnglish;
  if (primary == 0x16) offset = kPortuguese;
  if (primary == 0x0A) offset = kSpanish;
  if (primary == 0x0C) offset = kFrench;
  return offset;
}

}  // namespace quellbox
