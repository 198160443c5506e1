#pragma once
// The four-language string table (resources/strings.inc) and the language choice.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quellbox {

inline constexpr int kEnglish = 0, kPortuguese = 1000, kSpanish = 2000, kFrench = 3000;

// The entry at exactly this identifier, or nothing.
std::optional<std::string> StringEntry(int id);
std::vector<int> StringIds();
// The text of English identifier `id` in the language at `langOffset`.
inline std::optional<std::string> TextOf(int id, int langOffset) { return StringEntry(id + langOffset); }

// The language base from the user's language id, or the system's when the user's low byte is 0.
int SelectLanguage(std::uint16_t userLangId, std::uint16_t systemLangId);

}  // namespace quellbox
