// quellbox-sim: runs scenario files against the engine on the simulated platform.
//   quellbox-sim [--check] [--design-passes] [--reads] FILE...
// Prints each transcript; with --check, compares it with the one the file carries.
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/text_file.h"
#include "platform/sim/scenario.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// The first line where the two differ, or -1.
int FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (std::size_t i = 0; i < a.size() || i < b.size(); ++i)
    if (i >= a.size() || i >= b.size() || a[i] != b[i]) return static_cast<int>(i);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  bool check = false, reads = false;
  quellbox::sim::ScenarioOptions options;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--check")) check = true;
    else if (!std::strcmp(argv[i], "--design-passes")) options.designPasses = true;
    else if (!std::strcmp(argv[i], "--reads")) reads = true;
    else if (argv[i][0] == '-') {
      std::cerr << "unknown option " << argv[i] << "\n";
      return 2;
    } else files.push_back(argv[i]);
  }
  if (files.empty()) {
    std::cerr << "usage: quellbox-sim [--check] [--design-passes] [--reads] FILE...\n";
    return 2;
  }
  int status = 0;
  for (const auto& file : files) {
    auto text = quellbox::ReadWholeFile(file);
    if (!text) {
      std::cerr << file << ": cannot be read\n";
      status = 2;
      continue;
    }
    auto result = quellbox::sim::RunScenario(*text, options);
    if (!result.error.empty()) {
      std::cerr << file << ":" << result.errorLine << ": " << result.error << "\n";
      status = 2;
      continue;
    }
    if (!check) {
      std::cout << result.transcript;
      if (reads) std::cout << "reads: " << result.reads << "\n";
      continue;
    }
    if (!result.expected) {
      std::cerr << file << ": no \"=== transcript\" section to check against\n";
      status = status ? status : 1;
      continue;
    }
    auto got = Lines(result.transcript), want = Lines(*result.expected);
    int at = FirstDifference(got, want);
    if (at < 0) {
      std::cout << "ok " << file << "\n";
      continue;
    }
    std::cout << "FAILED " << file << " at transcript line " << at + 1 << "\n"
              << "  expected: " << (at < static_cast<int>(want.size()) ? want[at] : "(end)") << "\n"
              << "  got:      " << (at < static_cast<int>(got.size()) ? got[at] : "(end)") << "\n";
    status = status ? status : 1;
  }
  return status;
}
