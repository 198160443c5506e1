#include "core/browser_start.h"

#include "core/text_file.h"

namespace quellbox {

std::string TrimAtNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

std::string GetTempDirectory(Services& services) { return TrimAtNul(services.launcher.TempPath()); }

std::string FindDefaultBrowser(Services& services, long& resultCode) {
  // The association lookup needs a file that exists.
  std::string directory = GetTempDirectory(services);
  std::string dummy = directory + "dummy.html";
  WriteWholeFile(dummy, "");
  ExecutableLookup found = services.launcher.LookUpExecutable("dummy.html", directory);
  DeleteFileAt(dummy);
  resultCode = found.code;
  return TrimAtNul(found.path);
}

std::string BrowserCommandLine(std::string_view url) {
  // Addresses come from pages, so the address must stay one argument: a quote inside it is
  // percent-encoded and backslashes before the closing quote are doubled, as the Windows
  // argument rules want. The leading blank separates it from the program name.
  std::string address;
  for (char c : TrimAtNul(url)) {
    if (c == '"') address += "%22";
    else address += c;
  }
  std::size_t trailing = 0;
  while (trailing < address.size() && address[address.size() - 1 - trailing] == '\\') ++trailing;
  address.append(trailing, '\\');
  return " \"" + address + "\"";
}

bool OpenUrlInBrowser(Services& services, std::string_view url) {
  long code = 0;
  std::string browser = FindDefaultBrowser(services, code);
  if (code < 32) return false;
  return services.launcher.StartProcess(browser, BrowserCommandLine(url));
}

}  // namespace quellbox
