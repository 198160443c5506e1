#include "core/text_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace quellbox {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

#ifdef _WIN32
// Paths are UTF-8, and the C runtime's narrow names are the system code page's: Windows is
// given the path in UTF-16.
std::wstring NativePath(const std::string& path) {
  std::wstring out;
  for (std::size_t i = 0; i < path.size();) {
    auto lead = static_cast<unsigned char>(path[i++]);
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t c = more ? lead & (0x3F >> more) : lead;
    for (; more > 0 && i < path.size(); --more) c = c << 6 | (static_cast<unsigned char>(path[i++]) & 0x3F);
    if (c < 0x10000) {
      out += static_cast<wchar_t>(c);
    } else {
      out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}
UniqueFile Open(const std::string& path, const char* mode) {
  std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return UniqueFile(_wfopen(NativePath(path).c_str(), wideMode.c_str()));
}
bool Remove(const std::string& path) { return _wremove(NativePath(path).c_str()) == 0; }
#else
UniqueFile Open(const std::string& path, const char* mode) { return UniqueFile(std::fopen(path.c_str(), mode)); }
bool Remove(const std::string& path) { return std::remove(path.c_str()) == 0; }
#endif

bool WriteAll(std::FILE* f, std::string_view content) {
  return std::fwrite(content.data(), 1, content.size(), f) == content.size();
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, bool* missing) {
  errno = 0;
  UniqueFile f = Open(path, "rb");
  if (missing) *missing = !f && errno == ENOENT;
  if (!f) return std::nullopt;
  std::string content;
  char buffer[64 * 1024];
  for (;;) {
    std::size_t n = std::fread(buffer, 1, sizeof buffer, f.get());
    content.append(buffer, n);
    if (n < sizeof buffer) break;
  }
  if (std::ferror(f.get())) return std::nullopt;
  return content;
}

bool WriteWholeFile(const std::string& path, std::string_view content) {
  UniqueFile f = Open(path, "wb");
  if (!f) return false;
  bool written = WriteAll(f.get(), content);
  return std::fclose(f.release()) == 0 && written;
}

bool AppendToFile(const std::string& path, std::string_view content) {
  UniqueFile f = Open(path, "ab");
  if (!f) return false;
  bool written = WriteAll(f.get(), content);
  return std::fclose(f.release()) == 0 && written;
}

bool DeleteFileAt(const std::string& path) { return Remove(path); }

std::optional<std::string> ReadFileRange(const std::string& path, std::uint64_t offset, std::size_t length) {
  UniqueFile f = Open(path, "rb");
  if (!f) return std::nullopt;
  // 64-bit positions: a log may pass 2 GB where long has 32 bits.
#ifdef _WIN32
  if (fseeko64(f.get(), static_cast<_off64_t>(offset), SEEK_SET) != 0) return std::nullopt;
#else
  if (fseeko(f.get(), static_cast<off_t>(offset), SEEK_SET) != 0) return std::nullopt;
#endif
  std::string content(length, '\0');
  std::size_t n = std::fread(content.data(), 1, length, f.get());
  if (std::ferror(f.get())) return std::nullopt;
  content.resize(n);
  return content;
}

bool FileExists(const std::string& path) { return static_cast<bool>(Open(path, "rb")); }

std::vector<std::string> SplitLinesAtCr(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t cr = text.find('\r', start);
    if (cr == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, cr - start));
    start = cr + 1;
    if (start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::vector<std::string> SplitAtCrLf(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) {
      parts.emplace_back(text.substr(start));
      return parts;
    }
    parts.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
}

}  // namespace quellbox
