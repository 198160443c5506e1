#pragma once
#include <string>
#include <vector>

#include "core/services.h"

namespace quellbox {

inline constexpr const char* kSpywareFile = "spyware.lst";
inline constexpr const char* kDefaultSpywareText = "GROKSTER\r\nKAZAA\r\n";

// Makes sure spyware.lst holds at least two CR LF separated parts, writing the default list
// when it does not, and answers the parts.
std::vector<std::string> LoadSpywareList(Services& services);

}  // namespace quellbox
