#include "platform/win32/main_window.h"

#include "platform/win32/apartment.h"
#include "platform/win32/win_browser.h"
#include "platform/win32/win_dialogs.h"
#include "platform/win32/win_environment.h"
#include "platform/win32/win_registry.h"
#include "platform/win32/win_system.h"
#include "platform/win32/win_ui.h"

namespace quellbox::win32 {
namespace {

constexpr wchar_t kClassName[] = L"QuellboxMain";
constexpr UINT_PTR kTimer1 = 1;
// While the shell's window list cannot be opened (not up at logon, or Explorer gone), or the
// shell refused the tray icon, nothing is watched or shown: try again every two seconds, for as
// long as it takes. Costs nothing once connected. The same tick ends a burst of blocked pop-ups.
constexpr UINT_PTR kReconnectTimer = 3;
constexpr UINT kReconnectMs = 2000;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &MainWindow::Proc;
  wc.hInstance = instance_;
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  // Never shown; the tool-window style keeps it off the taskbar should anything show it.
  CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"Quellbox", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                  nullptr, instance_, this);
  return hwnd_ != nullptr;
}

void MainWindow::Attach(MainForm& form) {
  form_ = &form;
  SetTimer(hwnd_, kTimer1, MainForm::kTimer1IntervalMs, nullptr);
  SetTimer(hwnd_, kReconnectTimer, kReconnectMs, nullptr);
  if (closeAsked_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK MainWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<MainWindow*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  try {
    return self->Handle(msg, wParam, lParam);
  } catch (...) {
    TraceCaught("the main window");
    return DefWindowProcW(hwnd, msg, wParam, lParam);  // nothing thrown may reach the system
  }
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  if (!form_) {
    // Start-up is not over, and its waits (the tray, the shell's list) let sent messages in: a
    // close asked for now (the setup, taskkill) waits for it. Closed by the system's default it
    // would leave a process without a window or a quit, holding the single-instance claim, and
    // closed by the form it would save over settings not loaded yet.
    if (msg != WM_CLOSE) return DefWindowProcW(hwnd, msg, wParam, lParam);
    closeAsked_ = true;
    return 0;
  }
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    form_->TaskbarCreated();
    return 0;
  }
  switch (msg) {
    case WM_MOUSEMOVE:  // the tray icon's callback message, carrying the mouse message
      form_->TrayNotify(static_cast<std::uint32_t>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) form_->Timer1Timer();
      if (wParam == kReconnectTimer) {
        form_->KeepConnected();
        form_->NoticeTick();
      }
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) ShowWindow(hwnd, SW_HIDE);
      return 0;
    case WM_QUERYENDSESSION:
      form_->FormQueryUnload();
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) form_->FormUnload();
      return 0;
    case WM_CLOSE:
      // The timers stop first: unloading calls into browsers, and their waits let timers in.
      KillTimer(hwnd, kTimer1);
      KillTimer(hwnd, kReconnectTimer);
      form_->FormQueryUnload();
      form_->FormUnload();
      if (hwnd_) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int RunQuellbox(HINSTANCE instance) {
  ComApartment apartment;
  MainWindow window(instance);
  if (!window.Create()) return 1;
  apartment.WakeWhileBusy(window.Hwnd());
  WinEnvironment env;
  WinRegistry registry;
  WinInstanceLock instanceLock;
  WinClock clock;
  WinSound sound;
  WinLauncher launcher;
  WinInput input;
  WinBrowserShell shell;
  WinTray tray(window.Hwnd(), instance);
  WinMenus menus(window.Hwnd());
  WinHelp help;
  WinMessages messages;
  WinWindowManager windows(window.Hwnd());
  Services services{registry, env,  clock, sound,    launcher, input, shell,
                    tray,     menus, help,  messages, windows};
  AppState state;
  MainForm form(services, instanceLock, state);
  form.GetEngine().trace = Trace;
  WinDialogs dialogs(instance, services, state, form);
  windows.dialogs = &dialogs;
  env.preTranslate = [&dialogs](MSG& msg) { return dialogs.PreTranslate(msg); };
  if (!form.FormLoad()) return 0;
  window.Attach(form);

  MSG msg;
  for (;;) {
    apartment.Idle(true);
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    apartment.Idle(false);
    if (got <= 0) break;
    if (dialogs.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace quellbox::win32
