#!/usr/bin/env bash
# Runs scenarios (docs/scenarios.md) against the real, unmodified Quellbox.exe under Wine. The
# browser windows and the shell's window list are played by tests/wine/fake_ie in processes of
# their own, so that every call and event crosses Wine's COM marshalling, as it crosses into
# Internet Explorer on Windows.
# Usage: tests/wine/scenarios.sh [--exe PATH] [--runner PATH] [--work DIR] [--check] FILE...
#   --exe     the Quellbox.exe to run (default: build/win32/Quellbox.exe, the release)
#   --runner  fake_ie.exe (default: build/win64/tests/fake_ie.exe)
#   --work    where the prefix, the program directory and the logs go (default: build/wine-scenarios)
#   --check   compare each transcript with the one the file carries; otherwise print them
set -u
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
exe="$top/build/win32/Quellbox.exe" runner="$top/build/win64/tests/fake_ie.exe"
work="$top/build/wine-scenarios" check=() files=()
while [ $# -gt 0 ]; do
  case "$1" in
    --exe) exe="$2"; shift ;;
    --runner) runner="$2"; shift ;;
    --work) work="$2"; shift ;;
    --check) check=(--check) ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) files+=("$(readlink -f "$1")") ;;
  esac
  shift
done
[ ${#files[@]} -gt 0 ] || { echo "usage: $0 [--exe PATH] [--runner PATH] [--work DIR] [--check] FILE..." >&2; exit 2; }
for f in "$exe" "$runner"; do [ -f "$f" ] || { echo "$f does not exist: build it first" >&2; exit 2; }; done

source "$here/harness.sh"
QB_EXE=$(readlink -f "$exe")
QB_WINE=$(qb_loader "$QB_EXE")

rm -rf "$work" && mkdir -p "$work"
export WINEPREFIX="$work/prefix"
cleanup() {
  [ -d "$WINEPREFIX" ] && wineserver -k >/dev/null 2>&1
  qb_stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT TERM

qb_start_xvfb || exit 1
setsid -w "$QB_WINE" wineboot --init >/dev/null 2>&1
# Every program on one virtual desktop with a notification area, as in the other Wine tests.
"$QB_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$QB_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
# Everything the preparation started must have ended: a service manager still shutting down
# when the next program starts leaves COM's activation waiting for ever.
wineserver -w
# A folder the system code page cannot spell (Wine takes code page 1252 here): every path is wide.
QB_DIR="$work/Łódź"
qb_install

windows_files=()
for f in "${files[@]}"; do windows_files+=("$(qb_windows_path "$f")"); done
out="$work/transcripts.txt"
# The runner's standard error takes Quellbox's traced sound calls: Wine writes a process's
# traces where its parent's standard error goes.
(cd "$QB_DIR" && timeout 1500 "$(qb_loader "$runner")" "$runner" run --exe "$(qb_windows_path "$QB_DIR/Quellbox.exe")" \
  --dir "$(qb_windows_path "$QB_DIR")" --trace "$(qb_windows_path "$work")\\trace.log" \
  --out "$(qb_windows_path "$work")\\transcripts.txt" "${check[@]}" "${windows_files[@]}" 2>"$work/trace.log")
rc=$?
cat "$out" 2>/dev/null || { echo "the runner wrote no report (exit $rc)"; exit 1; }
exit $rc
