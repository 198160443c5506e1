#include "shell/main_form.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/startup_entry.h"
#include "support/sim_world.h"

namespace quellbox {
namespace {

using testing::SimWorld;

class MainFormTest : public ::testing::Test {
 protected:
  std::shared_ptr<sim::SimInstanceTable> instances = std::make_shared<sim::SimInstanceTable>();
  SimWorld world;
  sim::SimInstanceLock lock{instances};
  MainForm form{world.services, lock, world.state};

  std::ptrdiff_t JournalIndex(const std::string& operation) {
    auto& j = world.registry.journal;
    return std::find(j.begin(), j.end(), operation) - j.begin();
  }
};

TEST_F(MainFormTest, ASecondInstanceEndsBeforeTouchingAnything) {
  ASSERT_TRUE(form.FormLoad());
  world.registry.journal.clear();

  SimWorld secondWorld;
  sim::SimInstanceLock secondLock{instances};
  MainForm second{secondWorld.services, secondLock, secondWorld.state};
  EXPECT_FALSE(second.FormLoad());
  EXPECT_TRUE(secondWorld.registry.journal.empty());
  EXPECT_FALSE(secondWorld.ReadFile("spyware.lst").has_value());
  EXPECT_FALSE(secondWorld.state.settings.KillerEnabled);
}

TEST_F(MainFormTest, TheClaimEndsWithTheInstanceThatHeldIt) {
  {
    SimWorld firstWorld;
    sim::SimInstanceLock firstLock{instances};
    MainForm first{firstWorld.services, firstLock, firstWorld.state};
    ASSERT_TRUE(first.FormLoad());
  }
  EXPECT_TRUE(form.FormLoad());
}

TEST_F(MainFormTest, FirstRunLoadsThenAppliesDefaultsAndSwitchesBlockingOn) {
  ASSERT_TRUE(form.FormLoad());
  auto version = JournalIndex("query " + world.Section() + "Version");
  auto run = JournalIndex(std::string("set ") + kRunSection + "\\Quellbox");
  ASSERT_LT(run, static_cast<std::ptrdiff_t>(world.registry.journal.size()));
  EXPECT_LT(version, run);
  EXPECT_TRUE(world.state.settings.KillerEnabled);
  EXPECT_TRUE(world.state.settings.Mode);
  EXPECT_FALSE(world.Stored("Version").has_value()) << "the first run saves nothing at start";
  EXPECT_EQ(world.ReadFile("spyware.lst"), "GROKSTER\r\nKAZAA\r\n");
  EXPECT_EQ(world.state.SpywareList.size(), 3u);
}

TEST_F(MainFormTest, AFirstRunKeepsATrustedListItFinds) {
  world.WriteFile("trust.hosts", "alpha\r\nbeta.xy\r\n");
  ASSERT_TRUE(form.FormLoad());
  EXPECT_EQ(world.state.gblTrust, (std::vector<std::string>{"alpha", "beta.xy"}));
  form.Timer1Timer();
  EXPECT_EQ(world.ReadFile("trust.hosts"), "alpha\r\nbeta.xy\r\n");
}

TEST_F(MainFormTest, AStoredRecordIsLoadedAndNotOverwrittenByDefaults) {
  world.Store("Version", "3079");
  world.Store("Keys", "0");
  world.Store("Mode", "False");
  ASSERT_TRUE(form.FormLoad());
  EXPECT_EQ(world.state.settings.Keys, 0);
  EXPECT_FALSE(world.state.settings.Mode);
  EXPECT_TRUE(world.state.settings.KillerEnabled) << "blocking is on after every start";
  EXPECT_FALSE(world.registry.Get(kRunSection, "Quellbox").has_value());
}

TEST_F(MainFormTest, TheTimerAndBothUnloadStepsSaveEverything) {
  ASSERT_TRUE(form.FormLoad());
  world.state.settings.WindowsLeft = 3;
  form.Timer1Timer();
  EXPECT_EQ(world.Stored("WindowsLeft"), "000003");

  world.state.settings.WindowsLeft = 4;
  world.state.gblTrust.push_back("alpha");
  form.FormQueryUnload();
  EXPECT_EQ(world.Stored("WindowsLeft"), "000004");
  EXPECT_EQ(world.ReadFile("trust.hosts"), "alpha\r\n");

  world.state.settings.WindowsLeft = 5;
  form.FormUnload();
  EXPECT_EQ(world.Stored("WindowsLeft"), "000005");
}

}  // namespace
}  // namespace quellbox
