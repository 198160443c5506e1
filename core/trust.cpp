#include "core/trust.h"

#include <algorithm>
#include <limits>

#include "core/convert.h"
#include "core/url_log.h"

namespace quellbox {
namespace {

void CountOneMore(std::int32_t& counter) {
  // A counter at the top of its range stays there; the window is still closed.
  if (counter < std::numeric_limits<std::int32_t>::max()) ++counter;
}

}  // namespace

std::string TrustPattern(std::string_view entry) {
  std::string_view prefix, name, type;
  std::size_t p1 = entry.find('.');
  if (p1 == std::string_view::npos) {
    name = entry;
  } else {
    std::size_t p2 = entry.find('.', p1 + 1);
    if (p2 == std::string_view::npos) {
      name = entry.substr(0, p1);
      type = entry.substr(p1 + 1);
    } else {
      prefix = entry.substr(0, p1 + 1);
      name = entry.substr(p1 + 1, p2 - p1 - 1);
      type = entry.substr(p2 + 1);
    }
  }
  std::string pattern(prefix);
  if (!name.empty() && name != "*") pattern = "." + std::string(name) + ".";
  if (TrimBlanks(type) != "*") {
    if (pattern.empty() || pattern.back() != '.') pattern += '.';
    pattern += type;
  }
  if (TrimBlanks(pattern).empty()) pattern = entry;
  return pattern;
}

std::string HostOfUrl(std::string_view url) {
  auto scheme = url.find("://");
  if (scheme == std::string_view::npos) return {};
  std::string_view rest = url.substr(scheme + 3);
  return std::string(rest.substr(0, rest.find_first_of("/:?#")));
}

bool IsTrustedUrl(const std::vector<std::string>& trust, std::string_view url) {
  if (trust.empty()) return false;
  std::string upperUrl = UpperAscii(url);
  std::string upperHost = UpperAscii(HostOfUrl(url));
  for (const std::string& entry : trust) {
    std::string name = UpperAscii(TrimBlanks(entry));
    // An empty entry would search for "." and so trust nearly every page: it trusts none.
    if (name.empty()) continue;
    // What "Add to Trusted Sites" stores, the page's host, trusts that host itself, which the
    // pattern (".example.com" for "example.com") would miss.
    if (name == upperHost) return true;
    if (upperUrl.find(UpperAscii(TrustPattern(entry))) != std::string::npos) return true;
  }
  return false;
}

bool AddTrustedHost(AppState& state, const std::string& host) {
  auto& trust = state.gblTrust;
  if (std::find(trust.begin(), trust.end(), host) != trust.end()) return false;
  trust.push_back(host);
  state.trustUnread = false;  // the user's list from now on
  return true;
}

bool RecordClosedPopup(Services& services, AppState& state, std::string_view url) {
  if (IsTrustedUrl(state.gblTrust, url) || IsTrustedUrl(state.allowedThisRun, url)) return false;
  Settings& s = state.settings;
  // A log that cannot be written must not switch blocking off: the line is lost, nothing else.
  if (s.Log != 0) AppendUrlLog(services, s, url);
  if (s.SoundIs(1)) services.sound.Beep(50, 500);
  if (s.SoundIs(2)) services.sound.PlayWave(s.WaveFile);
  CountOneMore(s.WindowsLeft);
  CountOneMore(s.ClosedSinceStart);
  state.blocked.Add(std::string(url));
  return true;
}

}  // namespace quellbox
