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
  EXPECT_TRUE(Judge(unknown)) << "an unreadable visibility is judged like a hidden window";
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

TEST_F(DecisionTest, AWindowThatCannotBeClosedStaysHiddenAndCounted) {
  world.state.settings.Mode = true;
  auto stubborn = ScriptWindow();
  stubborn->closable = false;
  Judge(stubborn);
  EXPECT_FALSE(stubborn->closed);
  EXPECT_EQ(stubborn->visible, false);
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 1);
}

TEST_F(DecisionTest, AWindowWithNoIdAtAllIsLeftOpen) {
  world.state.settings.Mode = true;
  world.clock.randoms = {0.0};
  auto w = ScriptWindow();
  w->hwnd = 0;
  EXPECT_FALSE(Judge(w)) << "a random id of 0 is no id";
  EXPECT_EQ(w->calls, std::vector<std::string>{"PutProperty quellbox 0"});
}

}  // namespace
}  // namespace quellbox
