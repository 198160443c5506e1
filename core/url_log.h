#pragma once
// url.log: one line per blocked window, "<date> <time> - <address>" with CR LF.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
bool ClearUrlLog(Services& services);

// Where each line of a log starts, found in one pass over the file, so that a viewer can show
// any line without holding the log: after that pass, what it costs does not grow with the log.
// Lines end at CR LF.
class UrlLogIndex {
 public:
  // Brings the index up to date with the file; when the file only grew, only the new part is
  // read. False when the file cannot be read: the index stays as it was.
  bool Update(const std::string& path);
  // Lines ended by CR LF: the count the log viewer shows.
  std::size_t Count() const { return starts_.size() - 1; }
  // Those lines, and a last one without CR LF when there is one.
  std::size_t Rows() const { return Count() + (indexed_ > starts_.back() ? 1 : 0); }
  bool HasLineBreak(std::size_t row) const { return row < Count(); }
  // The text of a row, without its line break, at most `limit` bytes of it; empty when it
  // cannot be read.
  std::string Row(const std::string& path, std::size_t row, std::size_t limit = std::string::npos);

 private:
  void Reset();
  std::vector<std::uint64_t> starts_{0};  // where each line starts; the last: past the last CR LF
  std::uint64_t indexed_ = 0;             // bytes of the file looked at
  bool endsInCr_ = false;                 // the last of them is a CR
  std::string head_;                      // the file's first bytes: another file when they change
  std::uint64_t blockStart_ = 0;          // rows read for the screen, kept for its next rows
  std::string block_;
};

}  // namespace quellbox
