// The document slot ring, and events that arrive nested inside property reads.
#include <gtest/gtest.h>

#include "monitor/ie_class.h"
#include "support/browser_world.h"

namespace quellbox {
namespace {

using testing::BrowserWorld;

class DocumentHooksTest : public ::testing::Test {
 protected:
  std::shared_ptr<sim::SimDocument> WithFrames(const std::string& url, int frames) {
    auto d = world.Document(url);
    for (int i = 0; i < frames; ++i)
      d->frames.push_back(world.FrameWith(world.Document(url + "#frame" + std::to_string(i))));
    return d;
  }
  std::vector<std::string> SlotUrls() {
    std::vector<std::string> urls;
    for (int k = 0; k < IE_Class::kSlots; ++k) urls.push_back(monitor->DocumentUrl(k));
    return urls;
  }

  BrowserWorld world;
  std::shared_ptr<sim::SimBrowser> page = world.Window("http://a.example/");
  std::shared_ptr<IE_Class> monitor = world.Attach(page);
};

TEST_F(DocumentHooksTest, ATopDocumentAndItsFramesFillSlotsInOrderAndAreHookedOnce) {
  auto top = WithFrames("http://a.example/", 3);
  monitor->HookDocument(top);
  EXPECT_EQ(monitor->NextSlot(), 4);
  auto urls = SlotUrls();
  EXPECT_EQ(std::vector<std::string>(urls.begin(), urls.begin() + 5),
            (std::vector<std::string>{"http://a.example/", "http://a.example/#frame0",
                                      "http://a.example/#frame1", "http://a.example/#frame2", ""}));
  monitor->HookDocument(top);
  EXPECT_EQ(monitor->NextSlot(), 4);
  top->frames.push_back(world.FrameWith(world.Document("http://a.example/#late")));
  monitor->HookDocument(top);
  EXPECT_EQ(monitor->DocumentUrl(4), "http://a.example/#late") << "a hooked top still visits its frames";
  monitor->HookDocument(world.Document("http://a.example/#frame1"));
  EXPECT_EQ(monitor->NextSlot(), 5) << "a document with a held URL is not hooked";
}

// A frame of another domain cannot be reached through the top document's frames: only its
// own completion (pDisp) brings its document.
TEST_F(DocumentHooksTest, ACompletedFrameHooksItsOwnDocument) {
  auto frame = world.Window("http://other.example/frame", 300);
  page->FireDocumentComplete(frame, "http://other.example/frame");
  EXPECT_EQ(monitor->DocumentUrl(0), "http://other.example/frame");
  EXPECT_EQ(monitor->NextSlot(), 1);
}

TEST_F(DocumentHooksTest, DocumentsAreToldApartByTheExactTextOfTheirAddress) {
  monitor->HookDocument(world.Document("http://a.example/Page"));
  monitor->HookDocument(world.Document("http://a.example/page"));
  EXPECT_EQ(monitor->NextSlot(), 2);
}

TEST_F(DocumentHooksTest, FramesNestedInFramesAreHookedDepthFirst) {
  auto inner = WithFrames("http://c/", 1);
  auto top = world.Document("http://a/");
  top->frames = {world.FrameWith(inner), world.FrameWith(world.Document("http://b/"))};
  top->frames.insert(top->frames.begin() + 1, world.FrameWith(nullptr));  // unreachable frame
  monitor->HookDocument(top);
  auto urls = SlotUrls();
  EXPECT_EQ(std::vector<std::string>(urls.begin(), urls.begin() + 4),
            (std::vector<std::string>{"http://a/", "http://c/", "http://c/#frame0", "http://b/"}));
}

TEST_F(DocumentHooksTest, TheTwentyFirstDocumentTakesTheFirstSlotAndTheOldOneIsNoLongerHeard) {
  std::vector<std::shared_ptr<sim::SimDocument>> docs;
  for (int i = 0; i < 21; ++i) {
    docs.push_back(world.Document("http://d/" + std::to_string(i)));
    monitor->HookDocument(docs.back());
  }
  EXPECT_EQ(monitor->NextSlot(), 1);
  EXPECT_EQ(monitor->DocumentUrl(0), "http://d/20");
  EXPECT_EQ(docs[0]->subscribers.Count(), 0);
  EXPECT_EQ(docs[1]->subscribers.Count(), 1);
  docs[0]->FireContextMenu();
  EXPECT_FALSE(world.Flags().UserGesture);
  docs[20]->FireContextMenu();
  EXPECT_TRUE(world.Flags().UserGesture);
}

TEST_F(DocumentHooksTest, EmptyOrUnreadableUrlsTakeANewSlotEveryTime) {
  auto blank = world.Document("");
  monitor->HookDocument(blank);
  monitor->HookDocument(blank);
  auto unreadable = world.Document("x");
  unreadable->url.reset();
  monitor->HookDocument(unreadable);
  EXPECT_EQ(monitor->NextSlot(), 3);
  monitor->HookDocument(nullptr);
  EXPECT_EQ(monitor->NextSlot(), 3) << "no HTML document, no slot";
}

TEST_F(DocumentHooksTest, DocumentsAreHookedAtAttachOnlyDuringTheStartUpScan) {
  EXPECT_EQ(monitor->NextSlot(), 0);
  world.Flags().InitialScan = true;
  auto m = world.Attach(world.Window("http://open.example/", 7));
  EXPECT_EQ(m->NextSlot(), 1);
}

TEST_F(DocumentHooksTest, AHostileFrameNestingStopsAtAFixedDepth) {
  auto top = world.Document("http://deep/0");
  auto current = top;
  for (int i = 1; i < 500; ++i) {
    auto next = world.Document("http://deep/" + std::to_string(i));
    current->frames.push_back(world.FrameWith(next));
    current = next;
  }
  bool reached = false;
  world.hub.InsideNextRead("http://deep/100", "url", [&] { reached = true; });
  monitor->HookDocument(top);  // returns, with the stack intact
  EXPECT_FALSE(reached) << "a document a hundred frames deep is not even looked at";
}

// The window quits and its monitor is dropped while a handler waits in a read.
TEST_F(DocumentHooksTest, AMonitorDroppedInsideItsOwnHandlerIsNotTouchedAfterwards) {
  monitor->HookDocument(page->document);
  std::weak_ptr<IE_Class> watch = monitor;
  world.hub.InsideNextRead("", "LocationURL", [&] { monitor.reset(); });
  EXPECT_TRUE(page->FireNewWindow2());
  EXPECT_TRUE(watch.expired()) << "released once the handler returned";

  monitor = world.Attach(page);
  monitor->HookDocument(page->document);
  world.hub.InsideNextRead("", "tagName", [&] { monitor.reset(); });
  page->document->FireMouseUp(world.Element("A"));
  EXPECT_TRUE(world.Flags().UserGesture);
  EXPECT_EQ(world.reports.all.back().id, 7);
}

TEST_F(DocumentHooksTest, ASlotReplacedInsideItsOwnMouseUpKeepsItsDocumentUntilTheHandlerEnds) {
  for (int i = 0; i < 20; ++i) monitor->HookDocument(world.Document("http://r/" + std::to_string(i)));
  auto first = std::dynamic_pointer_cast<sim::SimDocument>(monitor->SlotDocument(0));
  ASSERT_TRUE(first);
  std::weak_ptr<sim::SimDocument> watch = first;
  world.hub.InsideNextRead("", "event.srcElement", [&] {
    monitor->HookDocument(world.Document("http://r/new"));  // takes slot 0
  });
  auto target = world.Element("IMG");
  first->FireMouseUp(target);
  first.reset();
  EXPECT_TRUE(watch.expired());
  EXPECT_TRUE(world.Flags().NewWindowAllowed);
  EXPECT_EQ(monitor->DocumentUrl(0), "http://r/new");
}

TEST_F(DocumentHooksTest, EventsNestedInsideAHookDoNotLoseSlots) {
  auto top = WithFrames("http://n/", 2);
  world.hub.InsideNextRead("", "frames.length",
                           [&] { page->FireDocumentComplete(page, "http://n/other"); });
  page->document = world.Document("http://n/other");
  monitor->HookDocument(top);
  auto urls = SlotUrls();
  EXPECT_EQ(std::vector<std::string>(urls.begin(), urls.begin() + 4),
            (std::vector<std::string>{"http://n/", "http://n/other", "http://n/#frame0",
                                      "http://n/#frame1"}));
}

}  // namespace
}  // namespace quellbox
