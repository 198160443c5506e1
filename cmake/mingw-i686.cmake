# 32-bit Windows build: the release target, for Windows XP SP2 and later. The win32 thread
# model: the -posix runtime links winpthreads, which imports GetTickCount64 (Vista and later),
# and the program uses no threads. GoogleTest needs std::mutex, so the tests are built with the
# 64-bit toolchain.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUELLBOX_MINGW_TRIPLE i686-w64-mingw32)
set(QUELLBOX_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
