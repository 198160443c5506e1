#include "tracking/popup_decision.h"

#include <gtest/gtest.h>

#include "support/browser_world.h"

namespace quellbox {
namespace {

using testing::BrowserWorld;

class DecisionTest : public ::testing::Test {
 protected:
  // Judges a window freshly attached to a monitor, as the collection does.
  bool Judge(const std::shared_ptr<sim::SimBrowser>& w) {
    auto monitor = world.Attach(w);
    JudgeNewWindow(world.engine, *w, monitor.get());
    return w->closed;
  }
  std::shared_ptr<sim::SimBrowser> ScriptWindow(bool statusBar = true) {
    auto w = world.Window("http://ads.example/win", 7);
    w->locationName = "Buy now";
    w->statusBar = statusBar;
    return w;
  }

  BrowserWorld world;
};

TEST_F(DecisionTest, StrictModeClosesEveryUnaskedWindowThatIsNoExplorerFolder) {
  world.state.settings.Mode = true;
  EXPECT_TRUE(Judge(ScriptWindow()));
  auto sameTitle = world.Window("http://ads.example/x", 8);  // title equals address
  EXPECT_TRUE(Judge(sameTitle));
  auto folder = ScriptWindow();
  folder->fullName = "C:\\WINDOWS\\explorer.exe";
  EXPECT_FALSE(Judge(folder));
  world.Flags().NewWindowAllowed = true;
  EXPECT_FALSE(Judge(ScriptWindow()));
  EXPECT_FALSE(world.Flags().NewWindowAllowed) << "the allowance is used up";
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 2);
  EXPECT_EQ(world.ReadFile("url.log").value_or("").find("http://ads.example/win"), 23u);
}

TEST_F(DecisionTest, LightModeClosesOnlyWindowsWithoutAStatusBarOrUnreadableOnes) {
  world.state.settings.Mode = false;
  EXPECT_FALSE(Judge(ScriptWindow(true)));
  EXPECT_TRUE(Judge(ScriptWindow(false)));
  world.Flags().NewWindowAllowed = true;
  EXPECT_FALSE(Judge(ScriptWindow(false)));
  auto unreadable = ScriptWindow();
  unreadable->application.reset();
  EXPECT_TRUE(Judge(unreadable));
  auto noTitle = ScriptWindow();
  world.hub.InsideNextRead("window 7", "Visible", [&] { noTitle->locationName.reset(); });
  EXPECT_TRUE(Judge(noTitle)) << "a title that turns unreadable makes a candidate";
}

TEST_F(DecisionTest, BlankWindowsThatShowAStatusBarOrWereAskedForAreLeftToLoad) {
  world.state.settings.Mode = true;
  auto blank = world.Window("", 9);
  blank->locationName = "";
  EXPECT_FALSE(Judge(blank));
  world.Flags().NewWindowAllowed = true;
  auto noBar = world.Window("", 10);
  noBar->locationName = "";
  noBar->statusBar = false;
  EXPECT_FALSE(Judge(noBar));
  EXPECT_FALSE(world.Flags().NewWindowAllowed);
  auto unknownBar = ScriptWindow();
  unknownBar->statusBar.reset();
  world.Flags().NewWindowAllowed = true;
  EXPECT_FALSE(Judge(unknownBar));
  EXPECT_FALSE(world.Flags().NewWindowAllowed);
}

TEST_F(DecisionTest, BlockingOffOrAdwareSwitchOffClosesAndCountsNothing) {
  world.state.settings.Mode = true;
  world.state.settings.KillerEnabled = false;
  world.Flags().NewWindowAllowed = true;
  EXPECT_FALSE(Judge(ScriptWindow(false)));
  EXPECT_TRUE(world.Flags().NewWindowAllowed) << "the allowance stays for the next window";
  world.state.settings.KillerEnabled = true;
  world.state.settings.Spyware = true;
  EXPECT_FALSE(Judge(ScriptWindow(false)));
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 0);
}

TEST_F(DecisionTest, AtStartUpVisibleReadableWindowsAreTheUsersAndHiddenOnesAreJudged) {
  world.state.settings.Mode = true;
  world.Flags().InitialScan = true;
  EXPECT_FALSE(Judge(ScriptWindow()));
  auto hidden = ScriptWindow();
  hidden->visible = false;
  EXPECT_TRUE(Judge(hidden));
  auto unknown = ScriptWindow();
  unknown->visible.reset();
  EXPECT_FALSE(Judge(unknown)) << "a window that may be visible may be the user's";
  auto untitled = ScriptWindow();
  untitled->locationName.reset();
  untitled->visible = true;
  EXPECT_FALSE(Judge(untitled)) << "a visible window found at start-up is the user's whatever read fails";
}

TEST_F(DecisionTest, HeldKeysLetNothingThroughWhileTheOptionIsOff) {
  world.state.settings.Mode = true;
  world.state.settings.Disable = 0;
  world.input.held = {kVkShift, kVkControl};
  EXPECT_TRUE(Judge(ScriptWindow()));
}

TEST_F(DecisionTest, HeldKeysAndTrustedAddressesLetACandidateThrough) {
  world.state.settings.Mode = true;
  world.state.settings.Keys = 0;  // the options name SHIFT
  world.input.held = {kVkControl};
  EXPECT_FALSE(Judge(ScriptWindow()));
  world.input.held = {kVkShift};
  EXPECT_FALSE(Judge(ScriptWindow()));
  world.input.held.clear();
  world.state.gblTrust = {"*.example"};
  EXPECT_FALSE(Judge(ScriptWindow()));
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 0);
  EXPECT_FALSE(world.ReadFile("url.log").has_value());
}

TEST_F(DecisionTest, ARefusedCloseFallsBackToQuitAndNeverLeavesAWindowHiddenAndRunning) {
  world.state.settings.Mode = true;
  auto refuses = ScriptWindow();
  refuses->closable = false;
  EXPECT_TRUE(Judge(refuses));
  EXPECT_EQ(refuses->calls, (std::vector<std::string>{"Visible=false", "ExecWB 45 2 refused", "Quit"}));
  auto stubborn = ScriptWindow();
  stubborn->closable = stubborn->quittable = false;
  EXPECT_FALSE(Judge(stubborn));
  EXPECT_EQ(stubborn->visible, true) << "shown again rather than left running out of sight";
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 2) << "each counted once";
}

TEST_F(DecisionTest, AHandlelessWindowThatCannotStoreItsIdIsStillJudged) {
  world.state.settings.Mode = true;
  auto w = ScriptWindow();
  w->hwnd = 0;
  w->propertiesReadable = false;
  EXPECT_TRUE(Judge(w));
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 1);
}

TEST_F(DecisionTest, AWindowJustWrappedIsNamedEvenWhenItsHandleCannotBeRead) {
  world.state.settings.Mode = true;
  world.clock.randoms = {0.5};
  auto w = ScriptWindow();
  w->hwnd.reset();
  EXPECT_TRUE(Judge(w));
  EXPECT_EQ(w->properties["quellbox"], 50000000);
}

}  // namespace
}  // namespace quellbox
