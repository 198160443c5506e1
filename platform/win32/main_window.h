#pragma once
// The hidden top-level window behind the main form. Top-level rather than message-only, so that
// it hears the session-end and taskbar broadcasts.
#include <windows.h>

#include "platform/win32/handles.h"
#include "shell/main_form.h"

namespace quellbox::win32 {

class MainWindow {
 public:
  MainWindow(HINSTANCE instance, MainForm& form);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  bool Create();
  void StartTimer();
  HWND Hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  MainForm& form_;
  HWND hwnd_ = nullptr;  // owned: set when the window is created, cleared when it is gone
};

// Runs the program: start-up, message loop, shutdown. The process exit code.
int RunQuellbox(HINSTANCE instance);

}  // namespace quellbox::win32
