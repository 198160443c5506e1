#pragma once
// Runs a scenario (docs/scenarios.md) against the whole engine on the simulated platform and
// writes a transcript of what Quellbox did.
#include <optional>
#include <string>

namespace quellbox::sim {

struct ScenarioOptions {
  // Make every window-id read the way the plain passes do, instead of remembering ids.
  bool designPasses = false;
};

struct ScenarioResult {
  std::string transcript;
  std::optional<std::string> expected;  // the text after "=== transcript", when present
  int errorLine = 0;                    // the line of a malformed command, with its error
  std::string error;
  long reads = 0;                       // browser and shell reads made
};

ScenarioResult RunScenario(const std::string& text, const ScenarioOptions& options = {});

}  // namespace quellbox::sim
