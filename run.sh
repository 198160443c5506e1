#!/usr/bin/env bash
# Builds Quellbox and runs it under Wine on a virtual desktop until Ctrl-C, which closes it the
# way Windows would. Uses your display, or a private Xvfb server when there is none.
# Installs what it needs on a fresh Debian 12 machine.
set -u
cd "$(dirname "$0")"
source tools/packages.sh
tools/ensure-packages.sh cmake make g++-mingw-w64-x86-64-posix fp-utils "${QB_PACKAGES_WINE[@]}" || exit 1

cmake -S . -B build/run/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DQUELLBOX_TESTS=OFF >/dev/null &&
  cmake --build build/run/win64 -j "$(nproc)" --target Quellbox helpfile || exit 1

source tests/wine/harness.sh
root="$PWD/build/run"
QB_DIR="$root/program"
QB_EXE="$root/win64/Quellbox.exe"
export WINEPREFIX="$root/prefix"   # kept between runs, so settings and lists persist
qb_install

if [ -z "${DISPLAY:-}" ]; then
  qb_start_xvfb || exit 1
  echo "No display found: running on a private Xvfb server ($DISPLAY)."
fi
finish() {
  trap - INT TERM EXIT
  if [ "$(qb_count)" -gt 0 ]; then
    echo "Closing Quellbox..."
    qb_close || echo "Quellbox did not close within 20 s."
  fi
  wineserver -k >/dev/null 2>&1
  qb_stop_xvfb
}
trap finish EXIT
trap 'exit 0' INT TERM

[ -d "$WINEPREFIX" ] || { echo "Preparing a Wine prefix in $WINEPREFIX..."; setsid -w wineboot --init >/dev/null 2>&1; wineserver -w; }
if [ "$(qb_count)" -gt 0 ]; then echo "Quellbox already runs in $WINEPREFIX."; exit 1; fi
qb_start || { echo "Quellbox did not start."; exit 1; }
sleep 3
qb_screenshot "$root/screenshot.png" && echo "Screenshot: $root/screenshot.png"
echo "Quellbox runs (program directory $QB_DIR). Press Ctrl-C to close it."
while [ "$(qb_count)" -gt 0 ]; do sleep 1; done
echo "Quellbox has ended."
