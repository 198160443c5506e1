#pragma once
// The hidden top-level window behind the main form. Top-level rather than message-only, so that
// it hears the session-end and taskbar broadcasts. It receives the tray icon's notifications.
#include <windows.h>

#include "shell/main_form.h"

namespace quellbox::win32 {

class MainWindow {
 public:
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  bool Create();
  // From here on messages reach the form; the timers start, and a close asked for during
  // start-up is carried out.
  void Attach(MainForm& form);
  HWND Hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  MainForm* form_ = nullptr;
  bool closeAsked_ = false;  // before Attach
  UINT taskbarCreated_ = 0;
  HWND hwnd_ = nullptr;  // owned: set when the window is created, cleared when it is gone
};

// Runs the program: start-up, message loop, shutdown. The process exit code.
int RunQuellbox(HINSTANCE instance);

}  // namespace quellbox::win32
