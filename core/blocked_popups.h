#pragma once
// The pop-ups blocked in this run, for the tray menu's list: the newest first, a screenful kept
// (url.log keeps every one).
#include <cstdint>
#include <deque>
#include <string>

namespace quellbox {

struct BlockedPopup {
  std::string opener;        // the page that asked for it (a closed window's own address)
  std::string address;       // the pop-up's address, when the browser told it (NewWindow3)
  std::uint32_t flags = 0;   // NewWindow3's NWMF_ flags
  std::uint64_t serial = 0;  // names the request while later events add to it
  // What the list offers to open: the pop-up's address, else the opener's page.
  const std::string& Target() const { return address.empty() ? opener : address; }
  // The site it came from: the opener's host, or the closed window's own.
  std::string Site() const;
};

class BlockedPopups {
 public:
  static constexpr std::size_t kKept = 15;
  // The new entry's serial.
  std::uint64_t Add(const std::string& opener);
  // Fills in the address of the request `serial`, if it is still listed.
  void SetAddress(std::uint64_t serial, const std::string& address, std::uint32_t flags);
  const std::deque<BlockedPopup>& Entries() const { return entries_; }
  std::uint64_t Total() const { return next_ - 1; }  // blocked since start

 private:
  std::deque<BlockedPopup> entries_;
  std::uint64_t next_ = 1;
};

}  // namespace quellbox
