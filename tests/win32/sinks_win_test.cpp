// Our COM event sinks, driven by an in-process event source that calls Invoke with the argument
// layout the browser uses: last argument first, strings as VT_BYREF|VT_VARIANT, Cancel as
// VT_BYREF|VT_BOOL.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtmdid.h>

#include <stdexcept>
#include <vector>

#include "monitor/ie_class.h"
#include "platform/sim/sim_browser.h"
#include "platform/win32/win_browser.h"
#include "support/sim_world.h"
#include "win32/com_helpers.h"
#include "win32/fake_event_source.h"

namespace quellbox::win32 {
namespace {

using testing::ByRefBool;
using testing::ByRefVariant;
using testing::DispatchVariant;
using testing::FakeEventSource;

struct Recorder : BrowserEventSink, DocumentEventSink {
  void BeforeNavigate2(const std::shared_ptr<Browser>&, const NavigationArgs& args, bool& cancel) override {
    url = args.url;
    flags = args.flags;
    target = args.targetFrameName;
    headers = args.headers;
    cancel = cancelAnswer;
  }
  void CommandStateChange(std::int32_t c, bool e) override { command = c, enable = e; }
  void DocumentComplete(const std::shared_ptr<Browser>&, const std::string& u) override { url = u; }
  void DownloadComplete() override { ++downloads; }
  void NavigateComplete2(const std::shared_ptr<Browser>&, const std::string& u) override { url = u; }
  void NewWindow2(bool& cancel) override {
    if (throwOnNewWindow) throw std::runtime_error("handler failure");
    cancel = cancelAnswer;
  }
  void OnQuit() override { ++quits; }
  bool OnContextMenu() override { return menuAnswer; }
  void OnMouseUp() override { ++mouseUps; }
  bool OnClick() override { return true; }

  std::string url, target, headers;
  std::int32_t flags = 0, command = 0;
  bool enable = false, cancelAnswer = false, menuAnswer = true, throwOnNewWindow = false;
  int downloads = 0, quits = 0, mouseUps = 0;
};

class SinkTest : public ::testing::Test {
 protected:
  void Connect() {
    auto sink = ComPtr<BrowserEventsSink>::Adopt(new BrowserEventsSink(recorder));
    token = ConnectEvents(static_cast<IConnectionPointContainer*>(&source), DIID_DWebBrowserEvents2,
                          sink.get());
    ASSERT_TRUE(token);
  }
  HRESULT BeforeNavigate2(VARIANT_BOOL& cancel) {
    Bstr url("http://x.example/a"), target("frame1"), headers("X-A: 1");
    VARIANT vUrl, vFlags, vTarget, vPost, vHeaders;
    V_VT(&vUrl) = VT_BSTR, V_BSTR(&vUrl) = url.get();
    V_VT(&vFlags) = VT_I4, V_I4(&vFlags) = 64;
    V_VT(&vTarget) = VT_BSTR, V_BSTR(&vTarget) = target.get();
    V_VT(&vPost) = VT_EMPTY;
    V_VT(&vHeaders) = VT_BSTR, V_BSTR(&vHeaders) = headers.get();
    return source.Fire(DISPID_BEFORENAVIGATE2,
                       {DispatchVariant(nullptr), ByRefVariant(&vUrl), ByRefVariant(&vFlags),
                        ByRefVariant(&vTarget), ByRefVariant(&vPost), ByRefVariant(&vHeaders),
                        ByRefBool(&cancel)});
  }

  FakeEventSource source{DIID_DWebBrowserEvents2};
  std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
  std::unique_ptr<Subscription> token;
};

TEST_F(SinkTest, BeforeNavigate2ReadsItsArgumentsAndWritesCancelBack) {
  Connect();
  VARIANT_BOOL cancel = VARIANT_FALSE;
  recorder->cancelAnswer = true;
  EXPECT_EQ(BeforeNavigate2(cancel), S_OK);
  EXPECT_EQ(cancel, VARIANT_TRUE);
  EXPECT_EQ(recorder->url, "http://x.example/a");
  EXPECT_EQ(recorder->flags, 64);
  EXPECT_EQ(recorder->target, "frame1");
  EXPECT_EQ(recorder->headers, "X-A: 1");
}

TEST_F(SinkTest, TheOtherBrowserEventsArriveWithTheirArguments) {
  Connect();
  VARIANT command, enable;
  V_VT(&command) = VT_I4, V_I4(&command) = 2;
  V_VT(&enable) = VT_BOOL, V_BOOL(&enable) = VARIANT_TRUE;
  EXPECT_EQ(source.Fire(DISPID_COMMANDSTATECHANGE, {command, enable}), S_OK);
  EXPECT_EQ(recorder->command, 2);
  EXPECT_TRUE(recorder->enable);

  Bstr url("http://done.example/");
  VARIANT vUrl;
  V_VT(&vUrl) = VT_BSTR, V_BSTR(&vUrl) = url.get();
  EXPECT_EQ(source.Fire(DISPID_DOCUMENTCOMPLETE, {DispatchVariant(nullptr), ByRefVariant(&vUrl)}), S_OK);
  EXPECT_EQ(recorder->url, "http://done.example/");
  source.Fire(DISPID_DOWNLOADCOMPLETE, {});
  source.Fire(DISPID_ONQUIT, {});
  EXPECT_EQ(recorder->downloads, 1);
  EXPECT_EQ(recorder->quits, 1);
}

TEST_F(SinkTest, MalformedCallsAndFailingHandlersNeverReachTheBrowser) {
  Connect();
  VARIANT_BOOL cancel = VARIANT_FALSE;
  recorder->cancelAnswer = true;
  VARIANT plainBool;
  V_VT(&plainBool) = VT_BOOL, V_BOOL(&plainBool) = VARIANT_FALSE;
  EXPECT_EQ(source.Fire(DISPID_NEWWINDOW2, {ByRefBool(&cancel)}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(source.Fire(DISPID_NEWWINDOW2, {DispatchVariant(nullptr), plainBool}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(source.Fire(DISPID_NEWWINDOW2, {DispatchVariant(nullptr), ByRefBool(&cancel)}, nullptr,
                        IID_IDispatch),
            DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(cancel, VARIANT_FALSE);

  recorder->throwOnNewWindow = true;
  EXPECT_EQ(source.Fire(DISPID_NEWWINDOW2, {DispatchVariant(nullptr), ByRefBool(&cancel)}), S_OK);
  EXPECT_EQ(cancel, VARIANT_FALSE);

  recorder.reset();  // the sink outlives what it served: events are dropped
  EXPECT_EQ(source.Fire(DISPID_ONQUIT, {}), S_OK);
}

TEST_F(SinkTest, TheContextMenuAnswerGoesBackThroughTheResult) {
  FakeEventSource document{__uuidof(HTMLDocumentEvents)};
  auto sink = ComPtr<DocumentEventsSink>::Adopt(new DocumentEventsSink(recorder));
  auto documentToken = ConnectEvents(static_cast<IConnectionPointContainer*>(&document),
                                     __uuidof(HTMLDocumentEvents), sink.get());
  ASSERT_TRUE(documentToken);
  Variant result;
  recorder->menuAnswer = false;
  EXPECT_EQ(document.Fire(DISPID_HTMLDOCUMENTEVENTS_ONCONTEXTMENU, {}, result.get()), S_OK);
  EXPECT_EQ(V_VT(result.get()), VT_BOOL);
  EXPECT_EQ(V_BOOL(result.get()), VARIANT_FALSE);
  EXPECT_EQ(document.Fire(DISPID_HTMLDOCUMENTEVENTS_ONCLICK, {}, result.put()), S_OK);
  EXPECT_EQ(V_BOOL(result.get()), VARIANT_TRUE);
  document.Fire(DISPID_HTMLDOCUMENTEVENTS_ONMOUSEUP, {});
  EXPECT_EQ(recorder->mouseUps, 1);
  documentToken.reset();
  EXPECT_EQ(document.unadvised, 1);
}

// A browser whose events come from the fake source through our real sink.
class ComEventsBrowser : public sim::SimBrowser {
 public:
  ComEventsBrowser(sim::SimHub& hub, FakeEventSource& source) : SimBrowser(hub, "com"), source_(source) {}
  std::unique_ptr<Subscription> Subscribe(std::weak_ptr<BrowserEventSink> sink) override {
    auto events = ComPtr<BrowserEventsSink>::Adopt(new BrowserEventsSink(std::move(sink)));
    return ConnectEvents(static_cast<IConnectionPointContainer*>(&source_), DIID_DWebBrowserEvents2,
                         events.get());
  }

 private:
  FakeEventSource& source_;
};

TEST(MonitorOverCom, AMonitorCancelsAnUnrequestedWindowAndUnadvisesWhenDropped) {
  quellbox::testing::SimWorld world;
  sim::SimHub hub;
  Engine engine{world.services, world.state, nullptr};
  world.state.settings.KillerEnabled = true;
  FakeEventSource source{DIID_DWebBrowserEvents2};
  auto browser = std::make_shared<ComEventsBrowser>(hub, source);
  browser->locationUrl = "http://ads.example/";
  auto monitor = IE_Class::Create(engine);
  monitor->SetIECtl(browser);
  EXPECT_EQ(source.advised, 1);

  VARIANT_BOOL cancel = VARIANT_FALSE;
  EXPECT_EQ(source.Fire(DISPID_NEWWINDOW2, {DispatchVariant(nullptr), ByRefBool(&cancel)}), S_OK);
  EXPECT_EQ(cancel, VARIANT_TRUE);
  EXPECT_EQ(world.state.settings.ClosedSinceStart, 1);

  monitor.reset();
  EXPECT_EQ(source.unadvised, 1);
  EXPECT_FALSE(source.Connected());
}

}  // namespace
}  // namespace quellbox::win32
