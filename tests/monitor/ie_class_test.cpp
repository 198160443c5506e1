#include "monitor/ie_class.h"

#include <gtest/gtest.h>

#include "support/browser_world.h"

namespace quellbox {
namespace {

using testing::BrowserWorld;

class MonitorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    page = world.Window("http://ads.example/page");
    monitor = world.Attach(page);
    page->FireDocumentComplete(page, "http://ads.example/page");
  }
  std::string Log() { return world.ReadFile("url.log").value_or(""); }
  void MouseUpOn(const std::shared_ptr<sim::SimElement>& target) { page->document->FireMouseUp(target); }

  BrowserWorld world;
  std::shared_ptr<sim::SimBrowser> page;
  std::shared_ptr<IE_Class> monitor;
};

TEST_F(MonitorTest, AScriptWindowIsCancelledLoggedAndCountedOnce) {
  world.state.settings.Sound = "1";
  EXPECT_TRUE(page->FireNewWindow2());
  EXPECT_EQ(Log(), "12/5/2026 1:05:09 PM - http://ads.example/page\r\n");
  EXPECT_EQ(world.sound.played, std::vector<std::string>{"beep 50 500"});
  EXPECT_EQ(world.state.settings.WindowsLeft, 1);
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 1);
  EXPECT_FALSE(world.Flags().NewWindowAllowed);
}

TEST_F(MonitorTest, TrustedPagesHeldKeysPlugInsAndBlockingOffLetTheWindowThrough) {
  auto expectLetThrough = [&](const char* why) {
    world.Flags().NewWindowAllowed = false;
    EXPECT_FALSE(page->FireNewWindow2()) << why;
    EXPECT_TRUE(world.Flags().NewWindowAllowed) << why;
  };
  world.state.gblTrust = {"*.example"};
  expectLetThrough("trusted page");
  world.state.gblTrust.clear();

  world.input.held = {kVkControl};
  expectLetThrough("CTRL with Keys 1");
  world.state.settings.Keys = 5;
  expectLetThrough("CTRL with Keys 5");
  world.state.settings.Keys = 0;
  EXPECT_TRUE(page->FireNewWindow2()) << "CTRL does not count while Keys names SHIFT";
  world.input.held = {kVkShift};
  expectLetThrough("SHIFT with Keys 0");
  world.input.held.clear();

  page->document->activeElement = world.Element("object");
  expectLetThrough("focus on a plug-in");
  page->document->activeElement->isTextEdit = true;
  EXPECT_TRUE(page->FireNewWindow2()) << "a text-edit OBJECT is no plug-in";
  page->document->activeElement = world.Element("BODY");

  world.state.settings.KillerEnabled = false;
  expectLetThrough("blocking off");
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 2);
}

TEST_F(MonitorTest, TheAllowKeyLetsNothingThroughWhileTheOptionIsOff) {
  world.state.settings.Disable = 0;
  world.input.held = {kVkControl};
  EXPECT_TRUE(page->FireNewWindow2());
  EXPECT_FALSE(world.Flags().NewWindowAllowed);
}

TEST_F(MonitorTest, AnUnreadableOpenerAddressLetsTheWindowThroughUncounted) {
  page->locationUrl.reset();
  EXPECT_FALSE(page->FireNewWindow2());
  EXPECT_TRUE(world.Flags().NewWindowAllowed);
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 0);
}

TEST_F(MonitorTest, CompletedNavigationsDownloadsAndTheRaisersQuitDropGestures) {
  world.Flags().UserGesture = true;
  page->FireNavigateComplete2("http://ads.example/page");
  EXPECT_FALSE(world.Flags().UserGesture);
  world.Flags().UserGesture = true;
  page->FireDownloadComplete();
  EXPECT_FALSE(world.Flags().UserGesture);

  EXPECT_TRUE(page->document->FireContextMenu());
  world.Flags().NewWindowAllowed = true;
  auto other = world.Window("http://other.example/", 200);
  auto otherMonitor = world.Attach(other);
  other->FireOnQuit();
  EXPECT_TRUE(world.Flags().UserGesture) << "only the monitor that raised it takes it back";
  page->FireOnQuit();
  EXPECT_FALSE(world.Flags().UserGesture);
  EXPECT_FALSE(world.Flags().NewWindowAllowed);
  EXPECT_FALSE(monitor->RaisedGesture());
}

TEST_F(MonitorTest, CommandStatesFollowForwardAndBackOnly) {
  page->FireCommandStateChange(1, true);
  page->FireCommandStateChange(2, true);
  page->FireCommandStateChange(-1, false);
  EXPECT_TRUE(monitor->EnableForward());
  EXPECT_TRUE(monitor->EnableBack());
  page->FireCommandStateChange(1, false);
  EXPECT_FALSE(monitor->EnableForward());
}

TEST_F(MonitorTest, NewWindowRequestsRememberTheSizeOfNormalWindows) {
  page->width = 640;
  page->height = 480;
  page->FireNewWindow2();
  EXPECT_EQ(world.Flags().RestoreWidth, 640);
  page->width = 1024;
  page->FireNewWindow2();
  EXPECT_EQ(world.Flags().RestoreWidth, 640) << "a window as wide as the screen is not remembered";
  world.state.settings.Normalize = false;
  page->width = 700;
  page->FireNewWindow2();
  EXPECT_EQ(world.Flags().RestoreWidth, 640) << "nor anything while scripts may resize windows";
}

TEST_F(MonitorTest, AWindowBlownUpToTheScreenIsRestoredAndCentredWithHalvesToEven) {
  world.Flags().RestoreWidth = 803;
  world.Flags().RestoreHeight = 601;
  auto& script = *page->document->window;
  script.onResize = [&](std::int32_t w, std::int32_t h) { page->width = w, page->height = h; };
  page->width = 1024;
  page->height = 768;
  page->FireBeforeNavigate2("http://ads.example/next");
  // (1024 - 803) / 2 = 110.5 and (768 - 601) / 2 = 83.5
  EXPECT_EQ(script.calls, (std::vector<std::string>{"resizeTo 803 601", "moveTo 110 84"}));
}

TEST_F(MonitorTest, APlainLinkNavigationDropsBothFlagsAndAScriptAddressNeither) {
  world.Flags().UserGesture = world.Flags().NewWindowAllowed = true;
  page->document->activeElement = world.Element("A", "", "javascript:openWin('x')");
  page->FireBeforeNavigate2("javascript:openWin('x')");
  EXPECT_TRUE(world.Flags().UserGesture);
  EXPECT_TRUE(world.Flags().NewWindowAllowed);
  page->document->activeElement = world.Element("A", "", "http://ads.example/next");
  page->FireBeforeNavigate2("http://ads.example/next");
  EXPECT_FALSE(world.Flags().UserGesture);
  EXPECT_FALSE(world.Flags().NewWindowAllowed) << "a stale allowance would spare the next pop-up";
}

TEST_F(MonitorTest, AClickIsNeverCancelledAndTakesBackAContextMenusGesture) {
  EXPECT_TRUE(page->document->FireClick());
  EXPECT_TRUE(page->document->FireContextMenu());
  EXPECT_TRUE(world.Flags().UserGesture);
  EXPECT_TRUE(page->document->FireClick());
  EXPECT_FALSE(world.Flags().UserGesture);
}

TEST_F(MonitorTest, MouseUpTargetsDecideTheGesture) {
  struct Case {
    std::shared_ptr<sim::SimElement> target;
    const char* focus;
    bool gesture;
  } cases[] = {
      {world.Element("A"), "BODY", true},
      {world.Element("IMG"), "BODY", true},
      {world.Element("OBJECT"), "BODY", true},
      {world.Element("SPAN", "menu", "[object HTMLSpanElement]"), "BODY", true},
      {world.Element("SPAN", "menu", "[object]"), "BODY", false},
      {world.Element("img"), "BODY", false},
      {world.Element("P"), "input", true},
      {world.Element("P"), "A", true},
      {world.Element("P"), "BODY", false},
  };
  for (auto& c : cases) {
    page->document->activeElement = world.Element(c.focus);
    MouseUpOn(c.target);
    EXPECT_EQ(world.Flags().UserGesture, c.gesture) << *c.target->tagName << " with " << c.focus;
    EXPECT_EQ(world.Flags().NewWindowAllowed, c.gesture) << *c.target->tagName;
  }
  auto unreadable = world.Element("P");
  unreadable->id.reset();
  MouseUpOn(unreadable);
  EXPECT_TRUE(world.Flags().UserGesture) << "an element that cannot be examined counts as a gesture";
  page->document->activeElement = nullptr;
  MouseUpOn(world.Element("P"));
  EXPECT_TRUE(world.Flags().UserGesture) << "so does an unreadable focus";
}

TEST_F(MonitorTest, ReportsFollowTheBrowserEvents) {
  world.reports.all.clear();
  page->FireBeforeNavigate2("http://a/");
  page->FireNavigateComplete2("http://a/");
  page->FireDownloadComplete();
  page->FireDocumentComplete(page, "http://a/");
  page->document->FireContextMenu();
  page->FireNewWindow2();
  page->FireOnQuit();
  EXPECT_EQ(world.reports.Ids(), (std::vector<int>{1, 2, 4, 5, 8}));
}

TEST_F(MonitorTest, TheRecordedHandleOrTheStoredIdNamesTheWindow) {
  EXPECT_EQ(monitor->IEHandle(), 100);
  auto noHandle = world.Window("http://x/", 0);
  auto m = world.Attach(noHandle);
  EXPECT_EQ(m->IEHandle(), 0);
  noHandle->properties["quellbox"] = 4242;
  EXPECT_EQ(m->IEHandle(), 4242);
}

TEST_F(MonitorTest, DroppingAMonitorDisconnectsItsBrowserAndDocuments) {
  ASSERT_EQ(page->subscribers.Count(), 1);
  ASSERT_EQ(page->document->subscribers.Count(), 1);
  monitor.reset();
  EXPECT_EQ(page->subscribers.Count(), 0);
  EXPECT_EQ(page->subscribers.Unadvised(), 1);
  EXPECT_EQ(page->document->subscribers.Unadvised(), 1);
  EXPECT_FALSE(page->FireNewWindow2());
}

}  // namespace
}  // namespace quellbox
