#!/usr/bin/env bash
# Shows that tests/check_exe.sh --xp-sp2 catches what would stop the release from loading on
# Windows XP SP2: an import XP lacks, and a PE header asking for a newer Windows.
# Usage: tests/check_exe_test.sh <work dir>
set -u
here=$(cd "$(dirname "$0")" && pwd)
work="$1"
mkdir -p "$work"
cc=i686-w64-mingw32-gcc-win32 objdump=i686-w64-mingw32-objdump fails=0
check() { "$here/check_exe.sh" --xp-sp2 --no-resources "$objdump" "$1"; }
expect() {  # expect WHAT pass|fail PATTERN EXE
  local out rc
  out=$(check "$4" 2>&1); rc=$?
  if { [ "$2" = pass ] && [ $rc -ne 0 ]; } || { [ "$2" = fail ] && [ $rc -eq 0 ]; } ||
     ! grep -q -- "$3" <<<"$out"; then
    echo "FAIL: $1 (exit $rc):"; sed 's/^/  /' <<<"$out"; fails=$((fails + 1))
  else
    echo "ok: $1"
  fi
}

printf '#include <windows.h>\nint main(void) { return (int)GetTickCount(); }\n' >"$work/plain.c"
printf '#define _WIN32_WINNT 0x0600\n#include <windows.h>\nint main(void) { return (int)GetTickCount64(); }\n' >"$work/vista.c"
$cc -o "$work/plain.exe" "$work/plain.c" &&
  $cc -o "$work/vista.exe" "$work/vista.c" &&
  $cc -Wl,--major-os-version,6 -Wl,--major-subsystem-version,6 -o "$work/header.exe" "$work/plain.c" ||
  { echo "cannot build the probes"; exit 1; }

expect "a program importing only what XP has passes" pass "loads on Windows XP SP2" "$work/plain.exe"
expect "an import of GetTickCount64 (Vista) is refused" fail "kernel32.dll GetTickCount64" "$work/vista.exe"
expect "a header asking for Windows 6.0 is refused" fail "asks for Windows 6.0" "$work/header.exe"
[ $fails -eq 0 ]
