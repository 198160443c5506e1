#include "core/url_log.h"

#include <algorithm>
#include <cstring>

#include "core/text_file.h"

namespace quellbox {

std::string LogSafeAddress(std::string_view url) {
  std::string out;
  out.reserve(url.size());
  for (char c : url) {
    switch (c) {
      case '\r': out += "%0D"; break;
      case '\n': out += "%0A"; break;
      case '\0': out += "%00"; break;
      default: out += c;
    }
  }
  return out;
}

std::string UrlLogLine(std::string_view date, std::string_view time, std::string_view url) {
  std::string line;
  line.reserve(date.size() + time.size() + url.size() + 8);
  line.append(date).append(" ").append(time).append(" - ").append(LogSafeAddress(url)).append("\r\n");
  return line;
}

std::string UrlFromLogLine(std::string_view line) {
  std::size_t separator = line.find(" - ");
  std::size_t start = separator == std::string_view::npos ? 2 : separator + 3;
  return start < line.size() ? std::string(line.substr(start)) : std::string();
}

bool AppendUrlLog(Services& services, const Settings& settings, std::string_view url) {
  if (settings.Log != 1) return true;
  return AppendToFile(services.env.PathInProgramDirectory(kUrlLogFile),
                      services.env.ToCodePage(UrlLogLine(services.clock.DateText(), services.clock.TimeText(), url)));
}

bool ClearUrlLog(Services& services) {
  return WriteWholeFile(services.env.PathInProgramDirectory(kUrlLogFile), "");
}

namespace {
constexpr std::size_t kHead = 64;           // bytes that tell one file from another
constexpr std::size_t kChunk = 1 << 20;     // read at a time while indexing
constexpr std::size_t kBlock = 64 * 1024;   // read at a time for the rows on screen
}  // namespace

void UrlLogIndex::Reset() {
  starts_.assign(1, 0);
  indexed_ = 0;
  endsInCr_ = false;
  head_.clear();
}

bool UrlLogIndex::Update(const std::string& path) {
  auto head = ReadFileRange(path, 0, kHead);
  if (!head) return false;
  block_.clear();
  // A file that is not the one indexed, or was cut, is indexed from its start.
  if (head->compare(0, head_.size(), head_) != 0 || head->size() < head_.size()) Reset();
  auto last = indexed_ > 0 ? ReadFileRange(path, indexed_ - 1, 1) : std::optional<std::string>("");
  if (!last || (indexed_ > 0 && last->empty())) Reset();
  for (;;) {
    auto chunk = ReadFileRange(path, indexed_, kChunk);
    if (!chunk) return false;
    if (chunk->empty()) break;
    const char* data = chunk->data();
    std::size_t size = chunk->size();
    if (endsInCr_ && data[0] == '\n') starts_.push_back(indexed_ + 1);
    for (const char* p = data; (p = static_cast<const char*>(std::memchr(p, '\n', size - (p - data)))); ++p)
      if (p > data && p[-1] == '\r') starts_.push_back(indexed_ + static_cast<std::uint64_t>(p - data) + 1);
    endsInCr_ = data[size - 1] == '\r';
    indexed_ += size;
    if (size < kChunk) break;
  }
  if (head_.size() < kHead) head_ = head->substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(kHead, indexed_)));
  return true;
}

std::string UrlLogIndex::Row(const std::string& path, std::size_t row, std::size_t limit) {
  if (row >= Rows()) return {};
  std::uint64_t start = starts_[row];
  std::uint64_t end = row + 1 < starts_.size() ? starts_[row + 1] - 2 : indexed_;
  std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(end - start, limit));
  if (start < blockStart_ || start + length > blockStart_ + block_.size()) {
    auto block = ReadFileRange(path, start, std::max(length, kBlock));
    if (!block) return {};
    blockStart_ = start;
    block_ = std::move(*block);
  }
  std::size_t from = static_cast<std::size_t>(start - blockStart_);
  return block_.substr(from, std::min(length, block_.size() - from));
}

}  // namespace quellbox
