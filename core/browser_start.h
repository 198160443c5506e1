#pragma once
// Showing a page in the user's default browser, started as a process of its own.
#include <string>
#include <string_view>

#include "core/services.h"

namespace quellbox {

// The text up to its first NUL.
std::string TrimAtNul(std::string_view text);
std::string GetTempDirectory(Services& services);
// The program registered for .html files, or empty; `resultCode` gets the shell's answer.
std::string FindDefaultBrowser(Services& services, long& resultCode);
// The browser's command line for `url`: one quoted argument that no address can break out of.
std::string BrowserCommandLine(std::string_view url);
bool OpenUrlInBrowser(Services& services, std::string_view url);

}  // namespace quellbox
