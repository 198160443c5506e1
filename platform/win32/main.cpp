#include <cstdlib>

#include <windows.h>

#include "platform/win32/failures.h"
#include "platform/win32/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return quellbox::win32::RunQuellbox(instance);
  } catch (...) {
    quellbox::win32::TraceCaught("Quellbox");
    return 1;
  }
}

