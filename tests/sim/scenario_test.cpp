// The scenario runner's handling of bad input: a clear error with its line, never a crash.
#include "platform/sim/scenario.h"

#include <gtest/gtest.h>

#include <random>

namespace quellbox::sim {
namespace {

TEST(Scenario, MalformedCommandsNameTheirLine) {
  struct Case {
    const char* text;
    int line;
    const char* error;
  } cases[] = {
      {"start\nfly away\n", 2, "unknown command 'fly'"},
      {"# comment\n\nnewwindow nobody\n", 3, "no window named 'nobody'"},
      {"window a title=\"open\n", 1, "unterminated quote"},
      {"window a statusbar=maybe\n", 1, "expected yes, no or !, got 'maybe'"},
      {"file ../escape x\n", 1, "file names are plain names in the program directory"},
      {"window a\nopen a quiet\nstart\ninside a LocationURL close b\nnewwindow a\n", 5,
       "no window named 'b'"},
  };
  for (const auto& c : cases) {
    auto result = RunScenario(c.text);
    EXPECT_EQ(result.errorLine, c.line) << c.text;
    EXPECT_EQ(result.error, c.error) << c.text;
  }
}

TEST(Scenario, RandomInputNeverCrashesTheRunner) {
  const char* words[] = {"window", "open", "close", "start", "newwindow", "mouseup", "a", "b",
                         "quiet", "url=x", "hwnd=none", "inside", "HWND", "exit", "tick",
                         "\"", "frame", "completed", "key", "CTRL", "down", "\\", "=", "!"};
  std::mt19937 random(12345);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int line = 0; line < 12; ++line) {
      for (int word = static_cast<int>(random() % 5); word >= 0; --word)
        text += std::string(words[random() % std::size(words)]) + " ";
      text += "\n";
    }
    auto result = RunScenario(text);
    EXPECT_TRUE(result.error.empty() || result.errorLine > 0) << text;
  }
}

}  // namespace
}  // namespace quellbox::sim
