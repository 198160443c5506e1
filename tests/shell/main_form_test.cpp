// What the Wine tests of Quellbox.exe cannot see: the tip's text and what a second instance leaves.
#include "shell/main_form.h"

#include <gtest/gtest.h>

#include "shell/tray_tip.h"
#include "support/sim_world.h"

namespace quellbox {
namespace {

using testing::SimWorld;

TEST(TrayTip, TheFieldHoldsTheTextANulAndBlanksAndIsCutToKeepItsNul) {
  auto field = TipField(TrayTipText(12));
  EXPECT_EQ(std::string(field.data()), "12 closed\r\npopup windows");
  EXPECT_EQ(field[24], '\0');
  EXPECT_EQ(field[25], ' ');
  EXPECT_EQ(field[63], ' ');
  auto cut = TipField(std::string(100, 'x'));
  EXPECT_EQ(cut[63], '\0');
  EXPECT_EQ(std::string(cut.data()), std::string(63, 'x'));
}

TEST(MainForm, TheIconReplacesALeftoverAndItsTipCountsTheLifetimeThenSinceStart) {
  SimWorld world;
  world.Store("Version", "3080");
  world.Store("WindowsLeft", "000012");
  sim::SimInstanceLock lock{std::make_shared<sim::SimInstanceTable>()};
  MainForm form{world.services, lock, world.state};
  ASSERT_TRUE(form.FormLoad());
  EXPECT_EQ(world.tray.calls, (std::vector<std::string>{"delete", "add"}));
  EXPECT_EQ(std::string(world.tray.shown->szTip.data()), "12 closed\r\npopup windows");
  form.TrayNotify(MainForm::kMouseMove);
  EXPECT_EQ(std::string(world.tray.shown->szTip.data()), "0 closed\r\npopup windows");
}

TEST(MainForm, ASecondInstanceEndsBeforeTouchingAnything) {
  auto instances = std::make_shared<sim::SimInstanceTable>();
  SimWorld world, secondWorld;
  sim::SimInstanceLock lock{instances}, secondLock{instances};
  MainForm form{world.services, lock, world.state};
  ASSERT_TRUE(form.FormLoad());
  MainForm second{secondWorld.services, secondLock, secondWorld.state};
  EXPECT_FALSE(second.FormLoad());
  EXPECT_TRUE(secondWorld.registry.journal.empty());
  EXPECT_FALSE(secondWorld.ReadFile("spyware.lst").has_value());
  EXPECT_FALSE(secondWorld.tray.shown.has_value());
}

}  // namespace
}  // namespace quellbox
