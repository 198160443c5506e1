# The Debian packages each kind of build needs.
QB_PACKAGES_BUILD=(cmake make g++ googletest libgtest-dev libbenchmark-dev
                   g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix clang-14 libclang-rt-14-dev
                   fp-utils)
QB_PACKAGES_WINE=(wine wine64 xvfb xdotool imagemagick tesseract-ocr procps)
