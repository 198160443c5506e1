// The window collection over the real COM adapters: an in-process shell window list with its
// DShellWindowsEvents connection point, and browser objects that record what Quellbox asks.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <servprov.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/win_browser.h"
#include "support/sim_world.h"
#include "tracking/ie_windows.h"
#include "win32/com_helpers.h"
#include "win32/com_stubs.h"
#include "win32/fake_event_source.h"

namespace quellbox::win32 {
namespace {

using testing::FakeEventSource;

// The application object: read as text it gives its name (its default property).
class FakeApplication final : public IDispatch, testing::RefCount {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch)) return testing::Refuse(out);
    return testing::Give(out, this);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return Ref(); }
  ULONG STDMETHODCALLTYPE Release() override { return Unref(); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (id != DISPID_VALUE || !result) return DISP_E_MEMBERNOTFOUND;
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocString(L"Microsoft Internet Explorer");
    return S_OK;
  }
};

// The tab's own window, as the shell browser of an IE7 tab gives it.
class FakeTabWindow final : public IOleWindow, testing::RefCount {
 public:
  explicit FakeTabWindow(HWND hwnd) : hwnd_(hwnd) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IOleWindow)) return testing::Refuse(out);
    return testing::Give(out, this);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return Ref(); }
  ULONG STDMETHODCALLTYPE Release() override { return Unref(); }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override { return *out = hwnd_, S_OK; }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  HWND hwnd_;
};

class FakeWebBrowser final : public testing::WebBrowser2Stub, public IServiceProvider, testing::RefCount {
 public:
  ~FakeWebBrowser() {
    for (auto& property : properties) VariantClear(&property.second);
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IWebBrowser2) || IsEqualIID(riid, IID_IWebBrowserApp) ||
        IsEqualIID(riid, IID_IWebBrowser))
      return testing::Give(out, static_cast<IWebBrowser2*>(this));
    if (IsEqualIID(riid, IID_IServiceProvider) && tabHwnd)
      return testing::Give(out, static_cast<IServiceProvider*>(this));
    return testing::Refuse(out);
  }
  HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID riid, void** out) override {
    *out = nullptr;
    if (!IsEqualGUID(service, SID_SShellBrowser) || !IsEqualIID(riid, IID_IOleWindow) || tabBroken)
      return E_NOINTERFACE;
    *out = static_cast<IOleWindow*>(new FakeTabWindow(tabHwnd));
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return Ref(); }
  ULONG STDMETHODCALLTYPE Release() override { return Unref(); }
  HRESULT STDMETHODCALLTYPE get_Application(IDispatch** out) override {
    *out = new FakeApplication;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_LocationName(BSTR* out) override { return Text(name, out); }
  HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* out) override { return Text(url, out); }
  HRESULT STDMETHODCALLTYPE get_FullName(BSTR* out) override {
    return Text(L"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE", out);
  }
  HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* out) override { return *out = hwnd, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* out) override { return *out = visible, S_OK; }
  HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override {
    calls.push_back(value ? L"Visible=true" : L"Visible=false");
    visible = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_StatusBar(VARIANT_BOOL* out) override { return *out = statusBar, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Width(LONG* out) override { return *out = 800, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Height(LONG* out) override { return *out = 600, S_OK; }
  HRESULT STDMETHODCALLTYPE GetProperty(BSTR property, VARIANT* value) override {
    VariantInit(value);
    auto it = properties.find(property);
    if (it != properties.end()) return VariantCopy(value, &it->second);
    return S_OK;  // an absent property reads as VT_EMPTY
  }
  HRESULT STDMETHODCALLTYPE PutProperty(BSTR property, VARIANT value) override {
    VARIANT copy;
    VariantInit(&copy);
    VariantCopy(&copy, &value);
    properties[property] = copy;
    calls.push_back(std::wstring(L"PutProperty ") + property + L" vt=" + std::to_wstring(V_VT(&value)));
    return S_OK;
  }
  // Refuses a null value as the marshaller does when the browser is in another process.
  HRESULT STDMETHODCALLTYPE ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) override {
    if (!in || !out) return HRESULT_FROM_WIN32(RPC_X_NULL_REF_POINTER);
    bool empty = V_VT(in) == VT_EMPTY && V_VT(out) == VT_EMPTY;
    calls.push_back(L"ExecWB " + std::to_wstring(command) + L" " + std::to_wstring(option) +
                    (empty ? L"" : L" with values"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Quit() override {
    calls.push_back(L"Quit");
    return S_OK;
  }

  SHANDLE_PTR hwnd = 0;
  HWND tabHwnd = nullptr;  // set: the browser answers the shell browser's service query
  bool tabBroken = false;  // the query fails all the same
  std::wstring url = L"http://ads.example/", name = L"Ad";
  VARIANT_BOOL visible = VARIANT_FALSE, statusBar = VARIANT_FALSE;
  std::map<std::wstring, VARIANT> properties;
  std::vector<std::wstring> calls;

 private:
  static HRESULT Text(const std::wstring& text, BSTR* out) {
    *out = SysAllocString(text.c_str());
    return S_OK;
  }
};

class FakeShellWindows : public testing::ShellWindowsStub {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IConnectionPointContainer)) return events.QueryInterface(riid, out);
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IShellWindows)) {
      *out = static_cast<IShellWindows*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // owned by the test
  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
    *count = static_cast<LONG>(windows.size());
    return countResult;
  }
  HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** out) override {
    *out = nullptr;
    if (V_VT(&index) != VT_I4 || V_I4(&index) < 0 || V_I4(&index) >= static_cast<LONG>(windows.size()))
      return S_FALSE;
    *out = windows[static_cast<std::size_t>(V_I4(&index))].get();
    (*out)->AddRef();
    return S_OK;
  }
  HRESULT Notify(DISPID id) {
    VARIANT cookie;
    V_VT(&cookie) = VT_I4;
    V_I4(&cookie) = 3;
    return events.Fire(id, {cookie});
  }

  std::vector<ComPtr<FakeWebBrowser>> windows;
  HRESULT countResult = S_OK;
  FakeEventSource events{DIID_DShellWindowsEvents};

 private:
  ULONG refs_ = 1;
};

class FakeShell : public BrowserShell {
 public:
  explicit FakeShell(FakeShellWindows& windows) : windows_(windows) {}
  std::shared_ptr<ShellWindows> OpenShellWindows() override {
    return std::make_shared<WinShellWindows>(ComPtr<IShellWindows>(&windows_));
  }

 private:
  FakeShellWindows& windows_;
};

class CollectionOverCom : public ::testing::Test {
 protected:
  ~CollectionOverCom() override {
    for (HWND w : windows_) DestroyWindow(w);
  }
  ComPtr<FakeWebBrowser> NewWindow(SHANDLE_PTR hwnd) {
    auto w = ComPtr<FakeWebBrowser>::Adopt(new FakeWebBrowser);
    w->hwnd = hwnd;
    return w;
  }
  // A window of this process: a browser's handle that names a window.
  HWND RealWindow() {
    windows_.push_back(CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    return windows_.back();
  }
  static std::string Key(HWND hwnd) { return std::to_string(reinterpret_cast<INT_PTR>(hwnd)); }

  std::vector<HWND> windows_;
  FakeShellWindows shellWindows;
  FakeShell fakeShell{shellWindows};
  quellbox::testing::SimWorld world;
  WinInput input;  // whether a handle names a window is the system's to say
  Services services{world.registry, world.env,   world.clock, world.sound,    world.launcher, input,
                    fakeShell,      world.tray,  world.menus, world.help,     world.messages, world.windows};
  Engine engine{services, world.state, nullptr};
};

TEST_F(CollectionOverCom, BrowserPropertiesReadThroughTheAutomationObject) {
  auto window = NewWindow(77);
  auto browser = WinBrowser::From(window.get());
  ASSERT_TRUE(browser);
  EXPECT_EQ(browser->Application(), "Microsoft Internet Explorer");
  EXPECT_EQ(browser->LocationURL(), "http://ads.example/");
  EXPECT_EQ(browser->Hwnd(), 77);
  EXPECT_EQ(browser->StatusBar(), false);
  EXPECT_EQ(browser->GetProperty("quellbox"), 0) << "an absent property reads as 0";
  EXPECT_TRUE(browser->PutProperty("quellbox", 1234));
  EXPECT_EQ(browser->GetProperty("quellbox"), 1234);
  EXPECT_EQ(browser->Document(), nullptr) << "no HTML document";
  EXPECT_FALSE(browser->GoForward());
}

TEST_F(CollectionOverCom, TheStartUpScanJudgesThroughTheBrowsersObjects) {
  world.state.settings.KillerEnabled = true;
  world.state.settings.Mode = true;
  HWND real = RealWindow();
  auto popup = NewWindow(reinterpret_cast<SHANDLE_PTR>(real));
  shellWindows.windows.push_back(popup);
  auto windows = cIEWindows::Create(engine);
  EXPECT_EQ(windows->Keys(), std::vector<std::string>{Key(real)});
  EXPECT_EQ(popup->calls, (std::vector<std::wstring>{L"Visible=false", L"ExecWB 45 2"}))
      << "the close passes empty values, never null pointers";
  EXPECT_EQ(shellWindows.events.advised, 1);
  windows.reset();
  EXPECT_EQ(shellWindows.events.unadvised, 1);
}

TEST_F(CollectionOverCom, ShellNotificationsWrapNewWindowsAndDropThoseWhoseWindowHasGone) {
  world.state.settings.KillerEnabled = true;
  world.clock.randoms = {0.5};
  auto windows = cIEWindows::Create(engine);
  auto noHandle = NewWindow(0);
  noHandle->visible = VARIANT_TRUE;
  noHandle->statusBar = VARIANT_TRUE;
  shellWindows.windows.push_back(noHandle);
  EXPECT_EQ(shellWindows.Notify(DISPID_WINDOWREGISTERED), S_OK);
  EXPECT_EQ(windows->Keys(), std::vector<std::string>{"50000000"});
  ASSERT_EQ(noHandle->calls.size(), 1u);
  EXPECT_EQ(noHandle->calls[0], L"PutProperty quellbox vt=3");  // VT_I4
  shellWindows.Notify(DISPID_WINDOWREGISTERED);
  EXPECT_EQ(windows->Count(), 1) << "recognised by its stored id";

  HWND real = RealWindow();
  auto page = NewWindow(reinterpret_cast<SHANDLE_PTR>(real));
  page->visible = page->statusBar = VARIANT_TRUE;
  shellWindows.windows.push_back(page);
  shellWindows.Notify(DISPID_WINDOWREGISTERED);
  shellWindows.windows.clear();
  shellWindows.Notify(DISPID_WINDOWREVOKED);
  EXPECT_EQ(windows->Count(), 2) << "missing from the list is no evidence";
  DestroyWindow(real);
  EXPECT_EQ(shellWindows.Notify(DISPID_WINDOWREVOKED), S_OK);
  EXPECT_EQ(windows->Keys(), std::vector<std::string>{"50000000"}) << "its handle names no window";
}

// Explorer ended: every error a call can get then marks the list lost, so that it is opened anew.
TEST_F(CollectionOverCom, TheErrorsOfAListWhoseProcessEndedMarkItLost) {
  for (HRESULT gone : {RPC_E_DISCONNECTED, HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), CO_E_OBJNOTCONNECTED,
                       RPC_E_SERVER_DIED, RPC_E_SERVER_DIED_DNE, HRESULT_FROM_WIN32(RPC_S_CALL_FAILED),
                       HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE), E_FAIL}) {
    shellWindows.countResult = gone;
    auto list = fakeShell.OpenShellWindows();
    EXPECT_FALSE(list->Count());
    EXPECT_EQ(list->Lost(), gone != E_FAIL) << std::hex << gone;
  }
}

TEST_F(CollectionOverCom, AFailedCallIsRecordedWithItsHresultWhenAskedFor) {
  char path[MAX_PATH];
  GetTempPathA(sizeof path, path);
  std::string log = std::string(path) + "quellbox-com-log.txt";
  DeleteFileA(log.c_str());
  auto browser = WinBrowser::From(NewWindow(77).get());
  EXPECT_FALSE(browser->Document()) << "nothing recorded by default";
  SetEnvironmentVariableA("QUELLBOX_COM_LOG", log.c_str());
  EXPECT_FALSE(browser->Document());
  SetEnvironmentVariableA("QUELLBOX_COM_LOG", nullptr);
  EXPECT_FALSE(browser->Document());
  std::ifstream in(log, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "Quellbox: IWebBrowser2::get_Document failed: 0x80004001\r\n");  // E_NOTIMPL
}

// IE7 and later: every tab of a frame answers get_HWND with the frame's window.
TEST_F(CollectionOverCom, ATabIsKnownByItsOwnWindowAndTheFrameWindowIsTheFallback) {
  auto tab = NewWindow(0x500);
  tab->tabHwnd = reinterpret_cast<HWND>(0x510);
  EXPECT_EQ(WinBrowser::From(tab.get())->Hwnd(), 0x510);
  tab->tabBroken = true;
  EXPECT_EQ(WinBrowser::From(tab.get())->Hwnd(), 0x500) << "the service query failed";
  EXPECT_EQ(WinBrowser::From(NewWindow(0x600).get())->Hwnd(), 0x600) << "no service provider (IE6)";

  world.state.settings.KillerEnabled = true;
  HWND frame = RealWindow();
  auto first = NewWindow(reinterpret_cast<SHANDLE_PTR>(frame)), second = NewWindow(reinterpret_cast<SHANDLE_PTR>(frame));
  first->tabHwnd = RealWindow();
  second->tabHwnd = RealWindow();
  shellWindows.windows = {first, second};
  auto windows = cIEWindows::Create(engine);
  EXPECT_EQ(windows->Keys(), (std::vector<std::string>{Key(first->tabHwnd), Key(second->tabHwnd)}))
      << "two tabs, two monitors";
}

}  // namespace
}  // namespace quellbox::win32
