#!/usr/bin/env bash
# Builds the release (the 32-bit Quellbox.exe users get) and runs it under Wine on a virtual
# desktop until Ctrl-C, which closes it the way Windows would and leaves nothing running. Uses
# your display, or a private Xvfb server when there is none. Installs what it needs on a fresh
# Debian 12 machine.
#   --demo  the test browser plays docs/demo.scn against it: a page whose pop-ups are blocked
#           and a click that opens a window; then the Blocked pop-ups list is shown.
set -u
cd "$(dirname "$0")"
demo=0
[ "${1:-}" = "--demo" ] && demo=1
source tools/packages.sh
tools/ensure-packages.sh cmake make g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix fp-utils nsis \
  "${QB_PACKAGES_WINE[@]}" || exit 1
[ $demo -eq 1 ] && { tools/ensure-packages.sh googletest python3 || exit 1; }
tools/ensure-packages.sh --optional "${QB_PACKAGES_WINE32[@]}"

# A Ctrl-C only sets this; every step runs as a background job of its own process group
# (job control) and is waited for, so that the wait ends at once and the script stops the step.
set -m
interrupted=0
trap 'interrupted=1' INT TERM
step() {
  "$@" &
  local pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    wait "$pid" 2>/dev/null
    [ $interrupted -eq 1 ] && { kill -- -"$pid" 2>/dev/null || kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; return 130; }
  done
  wait "$pid"
}

root="$PWD/build/run"
if qb_have_wine32; then
  toolchain=cmake/mingw-i686.cmake build="$root/win32"
else
  echo "32-bit Wine (wine32:i386) cannot run here: running the 64-bit build instead of the release."
  toolchain=cmake/mingw-x86_64.cmake build="$root/win64"
fi
build_quellbox() {
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DQUELLBOX_TESTS=OFF \
    >/dev/null && cmake --build "$build" -j "$(nproc)" --target Quellbox helpfile
}
# The test browser, built with the Windows tests (64-bit, whichever Quellbox.exe runs).
build_demo() {
  cmake -S . -B "$root/win64-demo" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    >/dev/null && cmake --build "$root/win64-demo" -j "$(nproc)" --target fake_ie
}
step build_quellbox || { [ $interrupted -eq 1 ] && echo "Interrupted."; exit 1; }
[ $demo -eq 1 ] && { step build_demo || { [ $interrupted -eq 1 ] && echo "Interrupted."; exit 1; }; }

source tests/wine/harness.sh
QB_DIR="$root/program"
QB_WORK="$root"   # Wine's messages go to quellbox-wine.log there
QB_EXE="$build/Quellbox.exe"
QB_WINE=$(qb_loader "$QB_EXE")
export WINEPREFIX="$root/prefix"   # kept between runs, so settings and lists persist
# The demo's browser stands in for the shell's window list in its prefix: one of its own.
[ $demo -eq 1 ] && { QB_DIR="$root/demo-program" QB_WORK="$root/demo" WINEPREFIX="$root/demo-prefix"; mkdir -p "$QB_WORK"; }
qb_install

finish() {
  trap '' INT TERM  # a second Ctrl-C must not cut the clean-up short
  if [ "$(qb_count)" -gt 0 ]; then
    echo "Closing Quellbox..."
    qb_close || { echo "Quellbox did not close within 20 s: ending it."; wineserver -k >/dev/null 2>&1; }
  fi
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  qb_stop_xvfb
}
trap finish EXIT

if [ -z "${DISPLAY:-}" ]; then
  qb_start_xvfb || exit 1
  echo "No display found: running on a private Xvfb server ($DISPLAY)."
fi
# A prefix whose preparation was interrupted is made again.
prepare_prefix() {
  rm -rf "$WINEPREFIX" "$WINEPREFIX.ready"
  setsid "$QB_WINE" wineboot --init >/dev/null 2>&1 && wineserver -w && touch "$WINEPREFIX.ready"
}
if [ ! -f "$WINEPREFIX.ready" ]; then
  echo "Preparing a Wine prefix in $WINEPREFIX..."
  if ! step prepare_prefix; then
    [ $interrupted -eq 1 ] && echo "Interrupted: the prefix will be prepared again next time."
    wineserver -k >/dev/null 2>&1
    exit 1
  fi
fi
[ $interrupted -eq 1 ] && exit 1
if [ "$(qb_count)" -gt 0 ]; then echo "Quellbox already runs in $WINEPREFIX."; exit 1; fi
# The demo: the page plays for half a minute, then the tray menu's Blocked pop-ups list opens.
play_demo() {
  qb_desktop "" || return 1
  qb_screenshot "$QB_WORK/empty.png"
  echo "The demo plays: a page's pop-ups are blocked (the tip, the balloon, url.log), a click lets one through."
  qb_play_demo "$root/win64-demo/tests/fake_ie.exe" docs/demo.scn || return 1
  QB_ICON=$(qb_tray_icon "$QB_WORK/empty.png") && qb_show_blocked_list "$root/screenshot.png" >/dev/null
  xdotool mousemove 980 300 click 1  # closes the menu, on the empty desktop
}
if [ $demo -eq 1 ]; then
  step play_demo || { [ $interrupted -eq 1 ] || echo "The demo did not play (see $QB_WORK/demo.txt)."; exit 1; }
else
  step qb_start || { [ $interrupted -eq 1 ] || echo "Quellbox did not start."; exit 1; }
  step sleep 3
  qb_screenshot "$root/screenshot.png"
fi
echo "Screenshot: $root/screenshot.png"
echo "Quellbox runs ($QB_EXE, program directory $QB_DIR). Press Ctrl-C to close it."
while [ $interrupted -eq 0 ] && [ "$(qb_count)" -gt 0 ]; do step sleep 1; done
[ $interrupted -eq 0 ] && echo "Quellbox has ended."
exit 0
