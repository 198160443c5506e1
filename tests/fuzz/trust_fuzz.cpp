// Fuzzes the trusted-hosts matching and the url.log line format with properties that must hold
// for any input: matching ignores case, only grows with the list and ignores blank entries, and
// every logged address stays on one line and comes back out of it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/convert.h"
#include "core/trust.h"
#include "core/url_log.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quellbox;
  FuzzedDataProvider input(data, size);
  std::vector<std::string> trust;
  for (int n = input.ConsumeIntegralInRange(0, 6); n > 0; --n)
    trust.push_back(input.ConsumeRandomLengthString(64));
  std::string extra = input.ConsumeRandomLengthString(64);
  std::string url = input.ConsumeRemainingBytesAsString();

  bool trusted = IsTrustedUrl(trust, url);
  Check(trusted == IsTrustedUrl(trust, UpperAscii(url)));
  Check(trusted == IsTrustedUrl(trust, Lower(url)));
  std::vector<std::string> upperTrust;
  for (const auto& e : trust) upperTrust.push_back(UpperAscii(e));
  Check(trusted == IsTrustedUrl(upperTrust, url));
  std::vector<std::string> more = trust;
  more.push_back(extra);
  if (trusted) Check(IsTrustedUrl(more, url));
  // A blank entry trusts nothing; any other trusts every address holding its pattern, and the
  // host it names.
  std::string name = TrimBlanks(extra);
  if (name.empty()) {
    Check(!IsTrustedUrl({extra}, url));
  } else {
    Check(IsTrustedUrl({extra}, "x" + TrustPattern(extra) + "x"));
    if (name.find_first_of("/:?#") == std::string::npos) Check(IsTrustedUrl({extra}, "http://" + name + "/"));
  }

  std::string line = UrlLogLine("12/5/2026", "1:05:09 PM", url);
  Check(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0);
  std::string body = line.substr(0, line.size() - 2);
  Check(body.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
  Check(UrlFromLogLine(body) == LogSafeAddress(url));
  if (url.find_first_of(std::string("\r\n\0", 3)) == std::string::npos)
    Check(LogSafeAddress(url) == url);
  (void)UrlFromLogLine(url);
  return 0;
}
