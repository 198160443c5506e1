#include "tracking/ie_windows.h"

#include <gtest/gtest.h>

#include "support/browser_world.h"

namespace quellbox {
namespace {

using testing::BrowserWorld;

class CollectionTest : public ::testing::Test {
 protected:
  void SetUp() override { shell = world.Shell(); }
  void Start() { windows = cIEWindows::Create(world.engine); }

  BrowserWorld world;
  std::shared_ptr<sim::SimShellWindows> shell;
  std::shared_ptr<cIEWindows> windows;
};

TEST_F(CollectionTest, WithNoWindowOpenTheListStaysEmptyAndTheShellIsHeard) {
  Start();
  EXPECT_EQ(windows->Count(), 0);
  EXPECT_EQ(shell->subscribers.Count(), 1);
  EXPECT_FALSE(world.Flags().InitialScan);
  windows.reset();
  EXPECT_EQ(shell->subscribers.Count(), 0);
}

TEST_F(CollectionTest, AWindowOpenedLaterIsWrappedAndJudgedExactlyOnce) {
  auto home = world.Window("http://home.example/", 10);
  shell->Open(home, false);
  Start();
  auto pop = world.Popup("http://ads.example/pop", 20);
  shell->Open(pop);
  EXPECT_EQ(windows->Keys(), (std::vector<std::string>{"10", "20"}));
  EXPECT_TRUE(pop->closed);
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 1);
  shell->Open(world.Window("http://third.example/", 30));
  shell->FireRegistered();
  EXPECT_EQ(windows->Count(), 3);
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 1) << "no window is judged twice";
  EXPECT_EQ(pop->calls, (std::vector<std::string>{"Visible=false", "ExecWB 45 2"}));
}

TEST_F(CollectionTest, ARevocationDropsEveryMonitorWhoseWindowIsGone) {
  auto a = world.Window("http://a/", 1), b = world.Window("http://b/", 2), c = world.Window("http://c/", 3);
  for (auto& w : {a, b, c}) shell->Open(w, false);
  Start();
  ASSERT_EQ(windows->Count(), 3);
  shell->Close(a, false);  // closed without a notification
  shell->Close(c);
  EXPECT_EQ(windows->Keys(), std::vector<std::string>{"2"});
  EXPECT_EQ(a->subscribers.Count(), 0) << "the dropped monitor disconnected";
  shell->Close(b);
  EXPECT_EQ(windows->Count(), 0);
}

TEST_F(CollectionTest, AWindowWithoutAHandleGetsOneRandomIdAndIsKnownByIt) {
  world.clock.randoms = {0.25};
  Start();
  auto noHandle = world.Window("http://nohandle.example/", 0);
  shell->Open(noHandle);
  EXPECT_EQ(noHandle->properties["quellbox"], 25000000);
  EXPECT_EQ(windows->Keys(), std::vector<std::string>{"25000000"});
  shell->FireRegistered();
  shell->FireRegistered();
  EXPECT_EQ(world.clock.randomCalls, 1);
  EXPECT_EQ(windows->Count(), 1);
  EXPECT_EQ(windows->IE(1)->IEHandle(), 25000000);
  shell->FireRevoked();
  EXPECT_EQ(windows->Count(), 1);
  shell->Close(noHandle);
  EXPECT_EQ(windows->Count(), 0);
}

TEST_F(CollectionTest, AHandlelessWindowOpenAtStartUpIsKeyedZeroUntilItsJudgementNamesIt) {
  world.clock.randoms = {0.5};
  auto noHandle = world.Window("http://nohandle.example/", 0);
  shell->Open(noHandle, false);
  Start();
  EXPECT_EQ(windows->Keys(), std::vector<std::string>{"0"});
  EXPECT_EQ(noHandle->properties["quellbox"], 50000000);
  shell->FireRegistered();
  EXPECT_EQ(windows->Count(), 1) << "recognised by the id its judgement stored";
}

// IE7 tabs share their frame's handle when the tab's own window cannot be had.
TEST_F(CollectionTest, TwoWindowsSharingAHandleAreStillTwoWindows) {
  Start();
  auto first = world.Window("http://a.example/", 5);
  shell->Open(first);
  auto twin = world.Popup("http://ads.example/", 5);
  shell->Open(twin);
  EXPECT_EQ(windows->Keys(), (std::vector<std::string>{"5", "5"}));
  EXPECT_TRUE(twin->closed);
  shell->FireRegistered();
  EXPECT_FALSE(first->closed);
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 1) << "the twin was judged once";
  shell->Close(twin);
  EXPECT_EQ(windows->Count(), 1);
  EXPECT_EQ(windows->IE(1)->IECtl()->Identity(), first->Identity());
}

TEST_F(CollectionTest, ARevocationNestedInsideARegistrationPassLeavesAConsistentList) {
  auto a = world.Window("http://a/", 1), b = world.Window("http://b/", 2);
  shell->Open(a, false);
  shell->Open(b, false);
  Start();
  auto c = world.Window("http://c/", 3);
  // While the registration pass reads c's handle, a and b close and the shell says so.
  world.hub.InsideNextRead("window 3", "HWND", [&] {
    shell->Close(a);
    shell->Close(b);
  });
  shell->Open(c);
  EXPECT_EQ(windows->Keys(), std::vector<std::string>{"3"});
  shell->Close(c);
  EXPECT_EQ(windows->Count(), 0);
}

TEST_F(CollectionTest, AWindowWhoseShellItemIsUnreadableKeepsItsMonitor) {
  auto a = world.Window("http://a/", 1);
  shell->Open(a, false);
  Start();
  shell->countReadable = false;
  shell->FireRevoked();
  EXPECT_EQ(windows->Count(), 1);
  shell->countReadable = true;
  shell->unreadableItems = {true};
  shell->FireRevoked();
  EXPECT_EQ(windows->Count(), 1);
}

TEST_F(CollectionTest, TheStartUpScanJudgesOnlyWindowsThatAreNotVisible) {
  auto visible = world.Window("http://user.example/", 1);
  auto hidden = world.Popup("http://ads.example/hidden", 2);
  shell->Open(visible, false);
  shell->Open(hidden, false);
  Start();
  EXPECT_FALSE(visible->closed);
  EXPECT_TRUE(hidden->closed);
  EXPECT_EQ(windows->Count(), 2) << "a closed window keeps its monitor until a revocation";
  EXPECT_EQ(windows->IE("1")->NextSlot(), 1) << "documents open at start-up are hooked";
}

}  // namespace
}  // namespace quellbox
