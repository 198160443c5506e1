// What only the Win32 browser adapters decide. Everything else they do is shown by the scenarios
// that run Quellbox.exe against fake_ie, over the same COM model.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdispid.h>

#include <fstream>
#include <functional>
#include <regex>
#include <iterator>
#include <stdexcept>

#include "platform/win32/win_browser.h"
#include "win32/com_helpers.h"
#include "win32/com_model.h"

namespace quellbox::win32 {
namespace {

using testing::ByRefBool;
using testing::DispatchVariant;

// IE7 and later: every tab of a frame answers get_HWND with the frame's window.
TEST(BrowserOverCom, ATabIsKnownByItsOwnWindowAndTheFrameWindowIsTheFallback) {
  sim::SimHub hub;
  testing::ComModel model;
  auto tab = std::make_shared<sim::SimBrowser>(hub, "tab");
  tab->hwnd = 1000;
  tab->frameHwnd = 0x500;
  auto browser = WinBrowser::From(model.Browser(tab).get());
  ASSERT_TRUE(browser);
  EXPECT_EQ(browser->Hwnd(), model.HandleOf(tab));
  tab->tabService = false;
  EXPECT_EQ(browser->Hwnd(), 0x500) << "the shell browser's service failed";
}

// Explorer ended: every error a call can get then marks the list lost, so that it is opened anew.
TEST(BrowserOverCom, TheErrorsOfAServerThatEndedAreDisconnections) {
  for (HRESULT gone : {RPC_E_DISCONNECTED, HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), CO_E_OBJNOTCONNECTED,
                       RPC_E_SERVER_DIED, RPC_E_SERVER_DIED_DNE, HRESULT_FROM_WIN32(RPC_S_CALL_FAILED),
                       HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE)})
    EXPECT_TRUE(IsDisconnection(gone)) << std::hex << gone;
  EXPECT_FALSE(IsDisconnection(E_FAIL));
  EXPECT_FALSE(IsDisconnection(RPC_E_CALL_REJECTED)) << "a busy server is still there";
}

// Runs `action` with the failure log switched on, then once more with it off: what was written.
std::string FailureLogOf(const std::function<void()>& action) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  std::wstring log = std::wstring(dir) + L"quellbox-com-log.txt";
  DeleteFileW(log.c_str());
  SetEnvironmentVariableW(L"QUELLBOX_COM_LOG", log.c_str());
  action();
  SetEnvironmentVariableW(L"QUELLBOX_COM_LOG", nullptr);
  action();
  std::ifstream in(log.c_str(), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(BrowserOverCom, AFailedCallIsRecordedWithWhereItWasMadeWhenAskedFor) {
  sim::SimHub hub;
  testing::ComModel model;
  auto page = std::make_shared<sim::SimBrowser>(hub, "page");
  page->locationUrl.reset();
  auto browser = WinBrowser::From(model.Browser(page).get());
  std::string text = FailureLogOf([&] { EXPECT_FALSE(browser->LocationURL()); });
  // Once, with the call as written, E_FAIL, and where it was made.
  EXPECT_TRUE(std::regex_match(
      text, std::regex(R"(Quellbox: browser_->get_LocationURL\(b\.put\(\)\) failed: 0x80004005 \(win_browser\.cpp:\d+\)\r\n)")))
      << text;
}

struct Recorder : BrowserEventSink {
  void BeforeNavigate2(const std::string&, bool&) override {}
  void CommandStateChange(std::int32_t, bool) override {}
  void DocumentComplete(const std::shared_ptr<Browser>&, const std::string&) override {}
  void DownloadComplete() override {}
  void NavigateComplete2(const std::string&) override {}
  void NewWindow2(bool& cancel) override {
    if (throwOnNewWindow) throw std::runtime_error("handler failure");
    cancel = true;
  }
  void NewWindow3(bool&, std::uint32_t, const std::string&, const std::string&) override {}
  void OnQuit() override {}
  bool throwOnNewWindow = false;
};

// A browser may call with whatever it likes; a handler's failure never reaches it.
TEST(SinksOverCom, MalformedCallsAndFailingHandlersNeverReachTheBrowser) {
  auto recorder = std::make_shared<Recorder>();
  auto sink = ComPtr<BrowserEventsSink>::Adopt(new BrowserEventsSink(__uuidof(DWebBrowserEvents2), recorder));
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT plainBool = testing::BoolVariant(false);
  EXPECT_EQ(testing::Fire(sink.get(), DISPID_NEWWINDOW2, {ByRefBool(&cancel)}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(testing::Fire(sink.get(), DISPID_NEWWINDOW3, {DispatchVariant(nullptr), ByRefBool(&cancel)}),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(testing::Fire(sink.get(), DISPID_NEWWINDOW2, {DispatchVariant(nullptr), plainBool}), DISP_E_TYPEMISMATCH);
  VARIANT args[] = {ByRefBool(&cancel), DispatchVariant(nullptr)};
  DISPPARAMS params{args, nullptr, 2, 0};
  EXPECT_EQ(sink->Invoke(DISPID_NEWWINDOW2, IID_IDispatch, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(cancel, VARIANT_FALSE);

  recorder->throwOnNewWindow = true;
  std::string log = FailureLogOf([&] {
    EXPECT_EQ(testing::Fire(sink.get(), DISPID_NEWWINDOW2, {DispatchVariant(nullptr), ByRefBool(&cancel)}), S_OK);
  });
  EXPECT_EQ(cancel, VARIANT_FALSE);
  EXPECT_EQ(log, "Quellbox: an event handler stopped: handler failure\r\n") << "caught, and seen";

  recorder.reset();  // the sink outlives what it served: events are dropped
  EXPECT_EQ(testing::Fire(sink.get(), DISPID_ONQUIT), S_OK);
}

}  // namespace
}  // namespace quellbox::win32
