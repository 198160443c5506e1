// Compares a transcript with the lines its scenario file expects.
#include <map>
#include <regex>
#include <sstream>

#include "scenario/scenario.h"

namespace quellbox::sim {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// Random window ids differ from run to run outside the simulator: each number stored with
// "PutProperty quellbox" becomes <id1>, <id2>, ... in order of appearance, wherever it shows.
void NameRandomIds(std::vector<std::string>& lines) {
  static const std::string kPut = "PutProperty quellbox ";
  std::map<std::string, std::string> names;
  for (const auto& line : lines) {
    auto at = line.find(kPut);
    if (at == std::string::npos) continue;
    std::string id = line.substr(at + kPut.size());
    if (!names.count(id)) names[id] = "<id" + std::to_string(names.size() + 1) + ">";
  }
  // Only whole words, so that 25000000 inside a longer number or a URL stays as it is.
  for (const auto& [id, name] : names)
    for (auto& line : lines) line = std::regex_replace(line, std::regex("(^| )" + id + "(?= |$)"), "$1" + name);
}

}  // namespace

bool CheckTranscript(std::ostream& out, const std::string& file, const ScenarioResult& result, bool otherHost) {
  auto g = Lines(result.transcript), e = Lines(result.expected);
  if (otherHost) {
    NameRandomIds(g);
    NameRandomIds(e);
  }
  std::size_t i = 0, j = 0;
  while (i < g.size() || j < e.size()) {
    if (otherHost && i < g.size() && g[i] == kNotShownHere) {
      // Stands for whatever the simulator printed before the next command.
      ++i;
      while (j < e.size() && e[j].rfind("> ", 0) != 0) ++j;
      continue;
    }
    if (i >= g.size() || j >= e.size() || g[i] != e[j]) {
      int line = result.expectedLines.empty() ? 0 : result.expectedLines[std::min(j, result.expectedLines.size() - 1)];
      out << "FAILED " << file << ":" << line << "\n  expected: " << (j < e.size() ? e[j] : "(end)")
          << "\n  got:      " << (i < g.size() ? g[i] : "(end)") << "\n";
      return false;
    }
    ++i, ++j;
  }
  out << "ok " << file << "\n";
  return true;
}

}  // namespace quellbox::sim
