# 64-bit Windows build: the one the Wine tests run.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUELLBOX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
