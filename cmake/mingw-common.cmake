# Shared by the MinGW-w64 toolchain files, which set QUELLBOX_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)
# The -posix compilers: GoogleTest needs std::mutex, which the win32 thread model lacks.
set(CMAKE_C_COMPILER ${QUELLBOX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUELLBOX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUELLBOX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUELLBOX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
