// A scenario the runner cannot follow fails with its line: it never passes for doing nothing.
#include "scenario/scenario.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quellbox::sim
