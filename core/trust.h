#pragma once
// Trusted hosts: the matching rule and the accounting of every pop-up that is to be closed.
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"

namespace quellbox {

// The text an entry makes the address be searched for (entry "alpha.xy" searches ".alpha.xy").
std::string TrustPattern(std::string_view entry);
// True when the upper-cased address contains the upper-cased pattern of any entry.
bool IsTrustedUrl(const std::vector<std::string>& trust, std::string_view url);

// For a window about to be closed because of the page at `url`: false when the page is trusted
// (nothing happens); otherwise logs, sounds, counts and answers true, whatever of that fails.
bool RecordClosedPopup(Services& services, AppState& state, std::string_view url);

}  // namespace quellbox
