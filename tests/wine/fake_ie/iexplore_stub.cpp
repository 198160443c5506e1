// A program that only carries a version resource: the browser fake_ie.exe puts where a
// scenario's window says its Internet Explorer is, so that Quellbox reads that version.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
