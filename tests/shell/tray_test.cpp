#include <gtest/gtest.h>

#include "shell/main_form.h"
#include "shell/tray_tip.h"
#include "support/sim_world.h"

namespace quellbox {
namespace {

using testing::SimWorld;

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.Store("Version", "3080");
    world.Store("WindowsLeft", "000012");
    ASSERT_TRUE(form.FormLoad());
  }
  std::string ShownTip() { return std::string(world.tray.shown->szTip.data()); }

  SimWorld world;
  sim::SimInstanceLock lock{std::make_shared<sim::SimInstanceTable>()};
  MainForm form{world.services, lock, world.state};
};

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

TEST_F(TrayTest, TheIconStartsWithTheLifetimeCountAndMouseOversShowTheCountSinceStart) {
  ASSERT_TRUE(world.tray.shown.has_value());
  EXPECT_EQ(world.tray.calls, (std::vector<std::string>{"delete", "add"}));
  const TrayIconRecord& r = *world.tray.shown;
  EXPECT_EQ(r.uID, 1u);
  EXPECT_EQ(r.uFlags, 7u);
  EXPECT_EQ(r.uCallbackMessage, 0x200u);
  EXPECT_EQ(r.image, TrayImage::Normal);
  EXPECT_EQ(ShownTip(), "12 closed\r\npopup windows");
  form.TrayNotify(MainForm::kMouseMove);
  EXPECT_EQ(ShownTip(), "0 closed\r\npopup windows");
}

TEST_F(TrayTest, EachNotificationRunsItsOneActionAndOthersNothing) {
  auto calls = world.tray.calls.size();
  for (std::uint32_t other : {MainForm::kLeftDown, MainForm::kLeftDoubleClick, 0x202u, 0x205u,
                              0x206u, 0x207u, 0x400u, 0u})
    form.TrayNotify(other);
  EXPECT_EQ(world.tray.calls.size(), calls);
  EXPECT_EQ(world.menus.popups, 0);
  form.TrayNotify(MainForm::kRightDown);
  EXPECT_EQ(world.menus.popups, 1);
  EXPECT_EQ(world.tray.calls.size(), calls) << "a menu closed without a choice does nothing";
}

TEST_F(TrayTest, SwitchingBlockingOffAndOnSwapsTheImageAndKeepsTheTip) {
  std::string tip = ShownTip();
  world.menus.choice = "mKiller";
  form.TrayNotify(MainForm::kRightDown);
  EXPECT_EQ(world.tray.shown->image, TrayImage::Off);
  EXPECT_FALSE(world.state.settings.KillerEnabled);
  EXPECT_TRUE(world.menus.lastShown[0].checked) << "the menu showed Enabled checked";
  world.menus.choice = "mKiller";
  form.TrayNotify(MainForm::kRightDown);
  EXPECT_FALSE(world.menus.lastShown[0].checked);
  EXPECT_EQ(world.tray.shown->image, TrayImage::Normal);
  EXPECT_TRUE(world.state.settings.KillerEnabled);
  EXPECT_EQ(ShownTip(), tip);
}

TEST_F(TrayTest, ARestartedTaskbarGetsTheIconBackAsItWasOnceItTakesIcons) {
  form.ModIcon(TrayImage::Off);
  form.TrayNotify(MainForm::kMouseMove);
  TrayIconRecord before = *world.tray.shown;
  world.tray.shown.reset();  // Explorer restarted with an empty notification area...
  world.tray.shellReady = false;  // ...that refuses icons for a while
  form.TaskbarCreated();
  form.KeepConnected();
  EXPECT_FALSE(world.tray.shown.has_value());
  world.tray.shellReady = true;
  form.KeepConnected();
  ASSERT_TRUE(world.tray.shown.has_value());
  EXPECT_EQ(world.tray.shown->image, before.image);
  EXPECT_EQ(world.tray.shown->szTip, before.szTip);
}

TEST_F(TrayTest, ExitSavesThenUnloadsEverythingAndTheUnloadRemovesTheIcon) {
  world.state.settings.WindowsLeft = 13;
  world.menus.choice = "mExit";
  form.TrayNotify(MainForm::kRightDown);
  EXPECT_EQ(world.Stored("WindowsLeft"), "000013");
  EXPECT_EQ(world.windows.unloads, 1);
  form.FormQueryUnload();
  form.FormUnload();
  EXPECT_FALSE(world.tray.shown.has_value());
  EXPECT_EQ(form.IEWin(), nullptr);
}

}  // namespace
}  // namespace quellbox
