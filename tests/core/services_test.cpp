// The spyware list and opening pages in the browser.
#include <gtest/gtest.h>

#include "core/browser_start.h"
#include "core/spyware_list.h"
#include "core/startup_entry.h"
#include "support/sim_world.h"

namespace quellbox {
namespace {

using testing::SimWorld;
using Parts = std::vector<std::string>;

// A file that splits into two parts at its CR LFs is kept; any other gets the defaults.
TEST(SpywareList, AFileOfTwoPartsIsKeptAndAnyOtherIsReplacedByTheDefaults) {
  const std::pair<const char*, const char*> table[] = {
      {"ALPHA\r\n", "ALPHA\r\n"}, {"ALPHA", "GROKSTER\r\nKAZAA\r\n"}, {"", "GROKSTER\r\nKAZAA\r\n"},
      {"ALPHA\nBETA\n", "GROKSTER\r\nKAZAA\r\n"}};
  for (const auto& [content, kept] : table) {
    SimWorld world;
    world.WriteFile("spyware.lst", content);
    Parts expected = content == std::string(kept) ? Parts{"ALPHA", ""} : Parts{"GROKSTER", "KAZAA", ""};
    EXPECT_EQ(LoadSpywareList(world.services), expected) << content;
    EXPECT_EQ(world.ReadFile("spyware.lst"), kept) << content;
  }
}

TEST(SpywareList, AFileThatCanBeNeitherReadNorWrittenEndsWithTheDefaultsInMemory) {
  SimWorld world;
  std::filesystem::create_directory(world.File("spyware.lst"));
  EXPECT_EQ(LoadSpywareList(world.services), (Parts{"GROKSTER", "KAZAA", ""}));
}

// Finding the registered browser through a temporary file and handing it the address as one
// argument are shown on the system itself (system_win_test.cpp).
TEST(Browser, NoAddressCanAddSwitchesToTheBrowsersCommandLine) {
  EXPECT_EQ(BrowserCommandLine("http://x/\" -new-instance \"file:///c:/evil"),
            " \"http://x/%22 -new-instance %22file:///c:/evil\"");
  EXPECT_EQ(BrowserCommandLine("http://x/path\\"), " \"http://x/path\\\\\"");
  EXPECT_EQ(BrowserCommandLine("http://x/a\\\\\"b"), " \"http://x/a\\\\%22b\"");
  EXPECT_EQ(BrowserCommandLine(std::string("http://x/\0 -evil", 16)), " \"http://x/\"");
}

TEST(Browser, AStaleDummyFileIsReplacedAndRemoved) {
  SimWorld world;
  WriteWholeFile(world.temp.str() + "/dummy.html", "stale");
  long code = 0;
  EXPECT_EQ(FindDefaultBrowser(world.services, code), world.launcher.browser);
  EXPECT_GE(code, 32);
  EXPECT_FALSE(std::filesystem::exists(world.temp.str() + "/dummy.html"));
}

TEST(Browser, NoRegisteredBrowserOrAFailedStartAnswersFalse) {
  SimWorld world;
  world.launcher.browser.clear();
  EXPECT_FALSE(OpenUrlInBrowser(world.services, "http://a/"));
  EXPECT_TRUE(world.launcher.started.empty());

  SimWorld unwritableTemp;
  unwritableTemp.launcher.tempPath = unwritableTemp.temp.str() + "/missing/";
  EXPECT_FALSE(OpenUrlInBrowser(unwritableTemp.services, "http://a/"));

  SimWorld failing;
  failing.launcher.processStarts = false;
  EXPECT_FALSE(OpenUrlInBrowser(failing.services, "http://a/"));
}

// Windows cuts an unquoted command line at the first blank and tries each prefix as a program.
TEST(StartWithWindows, APathWithABlankIsQuotedAndOneWithoutIsWrittenAsItIs) {
  testing::TempDir root;
  std::string spaced = root.str() + "/Program Files/Quellbox";
  sim::SimPorts ports(spaced, root.str() + "/");
  EXPECT_FALSE(RegisterStartup(ports.services).has_value());
  EXPECT_EQ(ports.registry.GetText(kRunSection, "Quellbox"), "\"" + spaced + "/Quellbox.exe\"");
  UnregisterStartup(ports.services);
  EXPECT_FALSE(ports.registry.Get(kRunSection, "Quellbox").has_value()) << "a quoted entry is removed too";

  SimWorld plain;
  RegisterStartup(plain.services);
  EXPECT_EQ(plain.registry.GetText(kRunSection, "Quellbox"), plain.File("Quellbox.exe"));
}

}  // namespace
}  // namespace quellbox
