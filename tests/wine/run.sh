#!/usr/bin/env bash
# Runs the Wine tests: every test_* function of tests/wine/*_test.sh, each in a fresh prefix
# copied from one made for this run, on one Xvfb server.
# Usage: tests/wine/run.sh <Quellbox.exe> <work dir> [name filter]
set -u
here=$(cd "$(dirname "$0")" && pwd)
QB_HERE="$here"
QB_EXE=$(readlink -f "$1")
work=$(readlink -f "$2")
filter="${3:-}"
source "$here/harness.sh"
QB_WINE=$(qb_loader "$QB_EXE")

rm -rf "$work" && mkdir -p "$work/artifacts"
QB_ARTIFACTS="$work/artifacts"

cleanup() {
  local p
  for p in "$work"/tests/*/prefix "$work/template"; do
    [ -d "$p" ] && WINEPREFIX="$p" wineserver -k >/dev/null 2>&1
  done
  qb_stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT TERM

qb_start_xvfb || exit 1
qb_make_template_prefix "$work/template"

# Assertions: each records a failure and lets the test go on, so one run shows every problem.
# A test that cannot run here says why with `skip` and returns; it counts as skipped.
QB_FAILS=0 QB_SKIP=0
skip() { echo "    skipped: $*"; QB_SKIP=1; }
fail() { echo "    FAIL: $*"; QB_FAILS=$((QB_FAILS + 1)); }
expect_eq() { [ "$2" == "$3" ] || fail "$1: expected [$3], got [$2]"; }
expect_true() { local what="$1"; shift; "$@" || fail "$what"; }

for file in "$here"/*_test.sh; do source "$file"; done
passed=0 failed=0 skipped=0
for t in $(declare -F | awk '{print $3}' | grep '^test_' | grep -- "$filter"); do
  (
    QB_FAILS=0 QB_SKIP=0
    qb_fresh_prefix "$work/tests/$t"
    start=$SECONDS
    "$t"
    qb_end_prefix
    echo "  $t ($((SECONDS - start)) s)"
    [ "$QB_FAILS" -eq 0 ] || exit 1
    [ "$QB_SKIP" -eq 0 ] || exit 3
  )
  rc=$?
  # A prefix is over a gigabyte: only a failed test's is kept, to look into.
  [ $rc -ne 1 ] && rm -rf "$work/tests/$t/prefix"
  case $rc in
    0) passed=$((passed + 1)) ;;
    3) skipped=$((skipped + 1)) ;;
    *) failed=$((failed + 1)); echo "  ^ FAILED" ;;
  esac
done
echo "wine: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
