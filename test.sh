#!/usr/bin/env bash
# Runs every test: native suites, the same under AddressSanitizer and UBSan, a bounded fuzzing
# run, both Windows cross builds with their checks, and the Wine tests on the real Quellbox.exe.
# Installs what it needs on a fresh Debian 12 machine.
set -u
cd "$(dirname "$0")"
source tools/packages.sh
tools/ensure-packages.sh "${QB_PACKAGES_BUILD[@]}" "${QB_PACKAGES_WINE[@]}" || exit 1
tools/ensure-packages.sh --optional "${QB_PACKAGES_WINE32[@]}"

jobs=$(nproc 2>/dev/null || echo 2)
mkdir -p build/logs
passed=0 failed=0 skipped=0 failures=()

# stage NAME COMMAND...: runs one stage, its output in build/logs/NAME.log.
stage() {
  local name="$1" start=$SECONDS
  shift
  printf '%-28s' "$name"
  if "$@" >"build/logs/$name.log" 2>&1; then
    passed=$((passed + 1))
    echo "ok ($((SECONDS - start)) s)"
  else
    failed=$((failed + 1))
    failures+=("$name")
    echo "FAILED ($((SECONDS - start)) s), last lines of build/logs/$name.log:"
    tail -n 30 "build/logs/$name.log" | sed 's/^/    /'
  fi
}

configure_and_build() {
  local dir="$1"
  shift
  cmake -S . -B "$dir" "$@" && cmake --build "$dir" -j "$jobs"
}

native() { configure_and_build build/native -DCMAKE_BUILD_TYPE=Debug && ctest --test-dir build/native -j "$jobs" --output-on-failure; }
sanitized() {
  configure_and_build build/asan -DCMAKE_BUILD_TYPE=Debug -DQUELLBOX_SANITIZE=ON &&
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --test-dir build/asan -j "$jobs" --output-on-failure
}
fuzz() {
  CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUELLBOX_TESTS=OFF -DQUELLBOX_FUZZ=ON && cmake --build build/fuzz -j "$jobs" --target trust_fuzz || return 1
  mkdir -p build/fuzz/corpus
  build/fuzz/tests/fuzz/trust_fuzz -max_total_time="${QB_FUZZ_SECONDS:-60}" -max_len=4096 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/ build/fuzz/corpus
}
# The release: loads on Windows XP SP2 and stays small.
win32() {
  configure_and_build build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release -DQUELLBOX_TESTS=OFF &&
    tests/check_exe.sh --xp-sp2 i686-w64-mingw32-objdump build/win32/Quellbox.exe &&
    tests/check_exe_test.sh build/check-exe || return 1
  local size
  size=$(stat -c %s build/win32/Quellbox.exe)
  echo "build/win32/Quellbox.exe: $size bytes (at most 409600)"
  [ "$size" -le 409600 ]
}
win64() {
  configure_and_build build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release &&
    tests/check_exe.sh x86_64-w64-mingw32-objdump build/win64/Quellbox.exe
}
# Wine runs the release, the 32-bit Quellbox.exe users get, when 32-bit Wine is here.
if qb_have_wine32; then
  wine_exe=build/win32/Quellbox.exe
else
  wine_exe=build/win64/Quellbox.exe
fi
# The setup program around that exe: the release's, or the 64-bit stand-in built the same way.
wine_tests() {
  local setup
  setup="$PWD/$(dirname "$wine_exe")/Quellbox-$(sed -n 's/^project(Quellbox VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)-setup.exe"
  QB_WIN_UNIT_TESTS="$PWD/build/win64/tests/quellbox_win32_tests.exe" QB_SETUP="$setup" \
    tests/wine/run.sh "$wine_exe" build/wine
}
# Every scenario through the real exe and a browser in another process; the simulator ran them
# in the native stage, and both must print the transcript the file carries.
wine_scenarios() {
  tests/wine/scenarios.sh --exe "$wine_exe" --check tests/scenarios/*.scn
}

stage native-tests native
stage sanitizer-tests sanitized
stage fuzz-trust-and-log fuzz
stage cross-build-i686 win32
stage cross-build-x86_64 win64
if ! qb_have_wine32; then
  echo "!!! 32-bit Wine (wine32:i386) cannot run here (not installable, or a kernel without 32-bit"
  echo "!!! programs): the 32-bit release, the program users get, is NOT tested under Wine on this"
  echo "!!! machine; the 64-bit build stands in for it."
  printf '%-28s%s\n' wine-release-32-bit "SKIPPED (no wine32)"
  skipped=$((skipped + 1))
fi
if [ -f "$wine_exe" ]; then
  stage wine-tests wine_tests
  stage wine-scenarios wine_scenarios
  echo "    $(ls tests/scenarios/*.scn | wc -l) scenario files: every one in the simulator;" \
       "through Wine on $wine_exe: $(grep '^scenarios:' build/logs/wine-scenarios.log | tail -1 | sed 's/^scenarios: //')"
else
  stage wine-tests false
fi

# The size of the tests against the product's, counted as non-blank lines that are not only a
# comment; platform/sim exists only for the tests.
lines() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' -o -name '*.rc' -o -name '*.scn' \
    -o -name '*.sh' -o -name '*.py' -o -name '*.nsi' -o -name '*.hpp' -o -name '*.idl' -o -name '*.nsh' \) | xargs -r cat | grep -cvE '^\s*(//.*|#.*|;.*)?$'
}
test_lines=$(lines tests bench platform/sim) product_lines=$(lines core shell tracking monitor ui platform/win32 resources installer)
echo "tests: $test_lines lines against $product_lines of product ($(awk "BEGIN { printf \"%.2f\", $test_lines / $product_lines }"))"
[ $failed -gt 0 ] && echo "failed stages: ${failures[*]}"
echo "test.sh: $passed passed, $failed failed, $skipped skipped"
[ $failed -eq 0 ]
