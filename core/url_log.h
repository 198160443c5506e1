#pragma once
// url.log: one line per blocked window, "<date> <time> - <address>" with CR LF.
#include <optional>
#include <string>
#include <string_view>

#include "core/settings.h"

namespace quellbox {

inline constexpr const char* kUrlLogFile = "url.log";

// The address as it goes into the file: CR, LF and NUL percent-encoded, so that every window
// keeps to one line. Addresses without them are written unchanged.
std::string LogSafeAddress(std::string_view url);
std::string UrlLogLine(std::string_view date, std::string_view time, std::string_view url);
// The address of a log line: what follows the first " - ", or, in a line without one, the line
// from its third character.
std::string UrlFromLogLine(std::string_view line);

// Appends one line when Log is exactly 1; false when the line could not be written.
bool AppendUrlLog(Services& services, const Settings& settings, std::string_view url);
std::optional<std::string> ReadUrlLog(Services& services);
bool ClearUrlLog(Services& services);

}  // namespace quellbox
