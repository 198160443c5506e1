#include "platform/win32/main_window.h"

#include "platform/win32/win_browser.h"
#include "platform/win32/win_environment.h"
#include "platform/win32/win_registry.h"
#include "platform/win32/win_system.h"

namespace quellbox::win32 {
namespace {

constexpr char kClassName[] = "QuellboxMain";
constexpr UINT_PTR kTimer1 = 1;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, MainForm& form) : instance_(instance), form_(form) {}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &MainWindow::Proc;
  wc.hInstance = instance_;
  wc.lpszClassName = kClassName;
  RegisterClassExA(&wc);
  // Never shown; the tool-window style keeps it off the taskbar should anything show it.
  CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "Quellbox", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                  nullptr, instance_, this);
  return hwnd_ != nullptr;
}

void MainWindow::StartTimer() { SetTimer(hwnd_, kTimer1, MainForm::kTimer1IntervalMs, nullptr); }

LRESULT CALLBACK MainWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<MainWindow*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  try {
    return self->Handle(msg, wParam, lParam);
  } catch (...) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);  // nothing thrown may reach the system
  }
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  switch (msg) {
    case WM_TIMER:
      if (wParam == kTimer1) form_.Timer1Timer();
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) ShowWindow(hwnd, SW_HIDE);
      return 0;
    case WM_QUERYENDSESSION:
      form_.FormQueryUnload();
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) form_.FormUnload();
      return 0;
    case WM_CLOSE:
      form_.FormQueryUnload();
      form_.FormUnload();
      KillTimer(hwnd, kTimer1);
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

namespace {

// The browsers' objects live in an apartment of this UI thread.
class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool ok_;
};

}  // namespace

int RunQuellbox(HINSTANCE instance) {
  ComApartment apartment;
  WinEnvironment env;
  WinRegistry registry;
  WinInstanceLock instanceLock;
  WinClock clock;
  WinSound sound;
  WinLauncher launcher;
  WinInput input;
  WinBrowserShell shell;
  Services services{registry, env, clock, sound, launcher, input, shell};
  AppState state;
  MainForm form(services, instanceLock, state);
  MainWindow window(instance, form);
  if (!window.Create()) return 1;
  if (!form.FormLoad()) return 0;
  window.StartTimer();

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace quellbox::win32
