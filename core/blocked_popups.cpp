#include "core/blocked_popups.h"

#include "core/trust.h"

namespace quellbox {

std::string BlockedPopup::Site() const {
  std::string host = HostOfUrl(opener);
  return host.empty() ? HostOfUrl(Target()) : host;
}

std::uint64_t BlockedPopups::Add(const std::string& opener) {
  entries_.push_front({.opener = opener, .serial = next_});
  if (entries_.size() > kKept) entries_.pop_back();
  return next_++;
}

void BlockedPopups::SetAddress(std::uint64_t serial, const std::string& address, std::uint32_t flags) {
  for (BlockedPopup& entry : entries_)
    if (entry.serial == serial) {
      entry.address = address;
      entry.flags = flags;
    }
}

}  // namespace quellbox
