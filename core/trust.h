#pragma once
// Trusted hosts: the matching rule and the accounting of every pop-up that is to be closed.
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"

namespace quellbox {

// The text an entry makes the address be searched for (entry "alpha.xy" searches ".alpha.xy").
std::string TrustPattern(std::string_view entry);
// The host of an address: between "://" and the next "/", ":", "?" or "#"; empty without "://".
std::string HostOfUrl(std::string_view url);
// True when, for some entry that is not blank, the upper-cased address contains its upper-cased
// pattern, or the address's host equals the entry trimmed of blanks (ignoring case).
bool IsTrustedUrl(const std::vector<std::string>& trust, std::string_view url);

// Appends `host` to the trusted list unless it is listed already (false then).
bool AddTrustedHost(AppState& state, const std::string& host);

// For a window about to be closed because of the page at `url`: false when the page is trusted
// (nothing happens), also by a host allowed until exit; otherwise logs, sounds, counts, lists it
// among the blocked pop-ups and answers true, whatever of that fails.
bool RecordClosedPopup(Services& services, AppState& state, std::string_view url);

}  // namespace quellbox
