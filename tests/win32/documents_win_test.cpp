// The Win32 document side over COM documents with elements, frames and an event object: the
// adapters read what MSHTML would give them, and a monitor attached through them hooks the
// documents and hears their events.
#include <gtest/gtest.h>

#include "monitor/ie_class.h"
#include "platform/win32/win_browser.h"
#include "support/browser_world.h"
#include "win32/com_model.h"

namespace quellbox::win32 {
namespace {

class DocumentsOverCom : public ::testing::Test {
 protected:
  void SetUp() override {
    page = world.Window("http://news.example/", 0x500);
    page->document->frames = {world.FrameWith(world.Document("http://news.example/left")),
                              world.FrameWith(world.Document("http://ads.example/right"))};
    browser = WinBrowser::From(model.Browser(page).get());
    ASSERT_TRUE(browser);
  }

  quellbox::testing::BrowserWorld world;
  testing::ComModel model;
  std::shared_ptr<sim::SimBrowser> page;
  std::shared_ptr<WinBrowser> browser;
};

TEST_F(DocumentsOverCom, ElementsFramesAndTheEventSourceAreReadThroughTheDocument) {
  auto document = browser->Document();
  ASSERT_TRUE(document);
  EXPECT_EQ(document->Url(), "http://news.example/");

  page->document->activeElement = world.Element("INPUT", "q", "[object]");
  page->document->activeElement->isTextEdit = true;
  auto focused = document->ActiveElement();
  ASSERT_TRUE(focused);
  EXPECT_EQ(focused->TagName(), "INPUT");
  EXPECT_EQ(focused->Id(), "q");
  EXPECT_EQ(focused->ToString(), "[object]");
  EXPECT_EQ(focused->IsTextEdit(), true);
  page->document->activeElement->tagName.reset();
  EXPECT_EQ(document->ActiveElement()->TagName(), std::nullopt) << "a failed read stays a failure";

  EXPECT_EQ(document->FrameCount(), 2);
  auto right = document->Frame(1);
  ASSERT_TRUE(right);
  ASSERT_TRUE(right->Document());
  EXPECT_EQ(right->Document()->Url(), "http://ads.example/right");
  EXPECT_EQ(document->Frame(2), nullptr);

  auto window = document->ParentWindow();
  ASSERT_TRUE(window);
  EXPECT_EQ(window->EventSourceElement(), nullptr) << "no event under way";
  page->document->window->eventSource = world.Element("A", "", "http://ads.example/offer");
  auto source = window->EventSourceElement();
  ASSERT_TRUE(source);
  EXPECT_EQ(source->TagName(), "A");
  EXPECT_EQ(source->ToString(), "http://ads.example/offer");

  EXPECT_TRUE(window->ResizeTo(800, 600));
  EXPECT_TRUE(window->MoveTo(112, 84));
  EXPECT_EQ(page->document->window->calls, (std::vector<std::string>{"resizeTo 800 600", "moveTo 112 84"}));
  page->document->window->scriptable = false;
  EXPECT_FALSE(window->ResizeTo(1, 1));
}

TEST_F(DocumentsOverCom, AMonitorHooksTheDocumentsAndHearsTheirGestures) {
  world.state.settings.Mode = true;
  auto monitor = IE_Class::Create(world.engine);
  monitor->SetIECtl(browser);
  page->FireDocumentComplete(page, "http://news.example/");
  EXPECT_EQ(monitor->NextSlot(), 3) << "the top document and its two frames";
  EXPECT_EQ(monitor->DocumentUrl(2), "http://ads.example/right");

  page->document->FireMouseUp(world.Element("A"));
  EXPECT_TRUE(world.Flags().UserGesture);
  EXPECT_FALSE(page->FireNewWindow2()) << "a link click asks for the window";
  EXPECT_TRUE(page->FireNewWindow2()) << "a second window without a gesture is cancelled";

  EXPECT_TRUE(page->document->FireContextMenu());
  EXPECT_TRUE(world.Flags().UserGesture);
  EXPECT_TRUE(page->document->FireClick()) << "the click is never cancelled";
  EXPECT_FALSE(world.Flags().UserGesture);
}

TEST_F(DocumentsOverCom, TheStartUpScanHooksTheDocumentOfAWindowAlreadyOpen) {
  world.Flags().InitialScan = true;
  auto monitor = IE_Class::Create(world.engine);
  monitor->SetIECtl(browser);
  world.Flags().InitialScan = false;
  EXPECT_EQ(monitor->DocumentUrl(0), "http://news.example/");
  EXPECT_EQ(monitor->IEHandle(), model.HandleOf(page)) << "the tab's own window names it";
}

}  // namespace
}  // namespace quellbox::win32
