#include "core/text_file.h"

#include <gtest/gtest.h>

namespace quellbox {
namespace {

using Lines = std::vector<std::string>;

TEST(TextFile, LinesEndAtCrLfOrALoneCrButNotAtALoneLf) {
  EXPECT_EQ(SplitLinesAtCr(""), Lines{});
  EXPECT_EQ(SplitLinesAtCr("a"), Lines{"a"});
  EXPECT_EQ(SplitLinesAtCr("a\r\n"), Lines{"a"});
  EXPECT_EQ(SplitLinesAtCr("\r\n"), Lines{""});
  EXPECT_EQ(SplitLinesAtCr("a\r\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLinesAtCr("a\rb\r"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitLinesAtCr("a\nb\n"), Lines{"a\nb\n"});
  EXPECT_EQ(SplitLinesAtCr("a\r\r\nb"), (Lines{"a", "", "b"}));
}

TEST(TextFile, CrLfSplitKeepsTheEmptyTail) {
  EXPECT_EQ(SplitAtCrLf(""), Lines{""});
  EXPECT_EQ(SplitAtCrLf("ALPHA\r\n"), (Lines{"ALPHA", ""}));
  EXPECT_EQ(SplitAtCrLf("A\nB\n"), Lines{"A\nB\n"});
  EXPECT_EQ(SplitAtCrLf("A\rB\r\n\r\nC"), (Lines{"A\rB", "", "C"}));
}

}  // namespace
}  // namespace quellbox
