#include "core/url_log.h"

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
                      UrlLogLine(services.clock.DateText(), services.clock.TimeText(), url));
}

std::optional<std::string> ReadUrlLog(Services& services) {
  return ReadWholeFile(services.env.PathInProgramDirectory(kUrlLogFile));
}

bool ClearUrlLog(Services& services) {
  return WriteWholeFile(services.env.PathInProgramDirectory(kUrlLogFile), "");
}

}  // namespace quellbox
