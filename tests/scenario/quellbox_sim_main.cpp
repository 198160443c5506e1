// quellbox-sim: runs scenario files against the engine on the simulated platform.
//   quellbox-sim [--check] [--reads] FILE...
// Prints each transcript; with --check, compares it with the lines the file expects.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "core/text_file.h"
#include "scenario/scenario.h"

int main(int argc, char** argv) {
  bool check = false, reads = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--check")) check = true;
    else if (!std::strcmp(argv[i], "--reads")) reads = true;
    else if (argv[i][0] == '-') {
      std::cerr << "unknown option " << argv[i] << "\n";
      return 2;
    } else files.push_back(argv[i]);
  }
  if (files.empty()) {
    std::cerr << "usage: quellbox-sim [--check] [--reads] FILE...\n";
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
    auto result = quellbox::sim::RunScenario(*text);
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
    if (!quellbox::sim::CheckTranscript(std::cout, file, result, false)) status = status ? status : 1;
  }
  return status;
}
