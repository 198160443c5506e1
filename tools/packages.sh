# The Debian packages each kind of build needs.
QB_PACKAGES_BUILD=(cmake make g++ googletest libgtest-dev libbenchmark-dev
                   g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix clang-14 libclang-rt-14-dev
                   fp-utils nsis python3)
QB_PACKAGES_WINE=(wine wine64 xvfb xdotool imagemagick tesseract-ocr procps)
# 32-bit Wine, for the release (a 32-bit program); the i386 architecture is added for it.
QB_PACKAGES_WINE32=(wine32:i386)

# True when 32-bit Windows programs can run here: 32-bit Wine is installed and the kernel runs
# 32-bit programs (some virtual machines' kernels are built without that).
qb_have_wine32() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q '^install ok installed$' &&
    /usr/lib/wine/wine --version >/dev/null 2>&1
}
