# 64-bit Windows build with the Windows-side unit tests (GoogleTest needs the -posix runtime
# for std::mutex).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUELLBOX_MINGW_TRIPLE x86_64-w64-mingw32)
set(QUELLBOX_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
