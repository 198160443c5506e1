# Start-up, single instance and the saved settings, on the real Quellbox.exe.

QB_KEY='HKCU\Software\Tarnik\Quellbox'
QB_RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

test_first_run_saves_fourteen_values_at_close() {
  expect_true "Quellbox starts" qb_start
  expect_eq "settings before the first save" "$(qb_reg_names "$QB_KEY" | wc -l)" 0
  expect_true "Quellbox closes gracefully" qb_close
  local dir
  dir=$("$QB_WINE" winepath -w "$QB_DIR" 2>/dev/null | tr -d '\r')
  expect_eq "value names" "$(qb_reg_names "$QB_KEY" | sort | tr '\n' ' ')" \
    "Affiliate Dir Disable Keys Log Mode Normalize Notify Sound Spyware Startup Version WaveFile WindowsLeft "
  local expected=(Version 3080 Startup 1 Log 1 Disable 1 Sound 2 "WaveFile" "$dir\\357.wav"
                  WindowsLeft 000000 Keys 1 Dir "$dir" Spyware False Affiliate "" Mode True
                  Normalize True Notify False)
  local i
  for ((i = 0; i < ${#expected[@]}; i += 2)); do
    expect_eq "${expected[i]}" "$(qb_reg_value "$QB_KEY" "${expected[i]}")" "${expected[i + 1]}"
  done
  expect_eq "Run entry" "$(qb_reg_value "$QB_RUN_KEY" Quellbox)" "$dir\\Quellbox.exe"
  expect_true "trust.hosts exists" test -f "$QB_DIR/trust.hosts"
  expect_eq "trust.hosts size" "$(stat -c %s "$QB_DIR/trust.hosts" 2>/dev/null)" 0
}

test_second_instance_ends_at_once_and_leaves_one_process() {
  expect_true "first instance starts" qb_start
  local start=$SECONDS rc
  (cd "$QB_DIR" && timeout 30 "$QB_WINE" Quellbox.exe >/dev/null 2>&1)
  rc=$?
  expect_eq "second instance exit code" "$rc" 0
  expect_true "second instance ended within 10 s" test $((SECONDS - start)) -le 10
  sleep 2
  expect_eq "Quellbox processes" "$(qb_count)" 1
  expect_true "Quellbox closes gracefully" qb_close
}

# The setup or taskkill may ask Quellbox to close while it is still starting: it closes once it
# has started, saving its settings, and leaves no process behind.
test_a_close_asked_for_during_start_up_is_carried_out() {
  local helper out
  helper="$(dirname "${QB_WIN_UNIT_TESTS:-}")/fake_ie.exe"
  [ -f "$helper" ] || { fail "fake_ie.exe is not built beside the Windows tests"; return; }
  out=$("$(qb_loader "$helper")" explorer /desktop=$QB_DESKTOP "$helper" close-at-start \
    "$(qb_windows_path "$QB_DIR/Quellbox.exe")" 2>/dev/null | tr -d '\r')
  expect_eq "Quellbox asked to close as its window appeared" "$out" "ended 0"
  expect_eq "Version saved by that close" "$(qb_reg_value "$QB_KEY" Version)" 3080
}

test_stored_values_come_back_converted() {
  qb_reg_set "$QB_KEY" Version 3074
  qb_reg_set "$QB_KEY" Normalize False
  qb_reg_set "$QB_KEY" WindowsLeft 42
  qb_reg_set "$QB_KEY" Keys 0
  printf 'alpha\r\n\r\nweb.beta.xy' >"$QB_DIR/trust.hosts"
  expect_true "Quellbox starts" qb_start
  expect_true "Quellbox closes gracefully" qb_close
  expect_eq "Normalize" "$(qb_reg_value "$QB_KEY" Normalize)" True
  expect_eq "WindowsLeft" "$(qb_reg_value "$QB_KEY" WindowsLeft)" 000042
  expect_eq "Version" "$(qb_reg_value "$QB_KEY" Version)" 3080
  expect_eq "Keys" "$(qb_reg_value "$QB_KEY" Keys)" 0
  expect_eq "Mode (missing means light)" "$(qb_reg_value "$QB_KEY" Mode)" False
  expect_eq "Affiliate" "$(qb_reg_value "$QB_KEY" Affiliate)" 111
  expect_eq "trust.hosts" "$(od -An -c "$QB_DIR/trust.hosts" | tr -s ' ')" \
    "$(printf 'alpha\r\n\r\nweb.beta.xy\r\n' | od -An -c | tr -s ' ')"
  expect_true "no Run entry outside the first run" \
    qb_reg_absent "$QB_RUN_KEY" Quellbox
}

test_unwritable_program_files_do_not_stop_the_registry_save() {
  mkdir "$QB_DIR/trust.hosts"  # cannot be opened as a file, whoever runs the test
  expect_true "Quellbox starts" qb_start
  expect_true "Quellbox closes gracefully" qb_close
  expect_eq "Version" "$(qb_reg_value "$QB_KEY" Version)" 3080
  expect_eq "WindowsLeft" "$(qb_reg_value "$QB_KEY" WindowsLeft)" 000000
}

test_logging_off_saves_the_settings() {
  expect_true "Quellbox starts" qb_start
  "$QB_WINE" explorer /desktop=$QB_DESKTOP wineboot --end-session >/dev/null 2>&1
  local i
  for ((i = 0; i < 40; i++)); do qb_reg_value "$QB_KEY" Version >/dev/null && break; sleep 0.25; done
  expect_eq "Version saved at session end" "$(qb_reg_value "$QB_KEY" Version)" 3080
  expect_eq "trust.hosts saved at session end" "$(stat -c %s "$QB_DIR/trust.hosts" 2>/dev/null)" 0
  expect_true "Quellbox closes gracefully" qb_close
}

# The Windows implementations of the ports, cross-compiled with GoogleTest.
test_win32_unit_tests() {
  [ -n "${QB_WIN_UNIT_TESTS:-}" ] || return 0
  local out
  # hhctrl.ocx=n: Wine would otherwise load its own whatever the path, and the help tests
  # need the stand-in built next to the tests to be loadable.
  out=$(cd "$(dirname "$QB_WIN_UNIT_TESTS")" && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;hhctrl.ocx=n" timeout 300 "$(qb_loader "$QB_WIN_UNIT_TESTS")" "$QB_WIN_UNIT_TESTS" 2>&1)
  local rc=$?
  echo "$out" | grep -E '^\[  (PASSED|FAILED)  \]|tests? from .* ran' | sed 's/^/    /'
  [ $rc -eq 0 ] || { echo "$out" | grep -E 'FAILED|Failure|error' | head -40; fail "win32 unit tests (exit $rc)"; }
}

test_first_run_takes_over_version_txt_and_writes_the_spyware_list() {
  printf 'D123\r\n' >"$QB_DIR/version.txt"
  expect_true "Quellbox starts" qb_start
  local i
  for ((i = 0; i < 40; i++)); do [ -s "$QB_DIR/spyware.lst" ] && break; sleep 0.25; done  # written just after start
  expect_eq "spyware.lst" "$(od -An -c "$QB_DIR/spyware.lst" 2>/dev/null | tr -s ' ')" \
    "$(printf 'GROKSTER\r\nKAZAA\r\n' | od -An -c | tr -s ' ')"
  expect_true "Quellbox closes gracefully" qb_close
  expect_true "version.txt is consumed" test ! -e "$QB_DIR/version.txt"
  qb_end_prefix
  expect_eq "Affiliate as stored" "$(qb_user_reg_value 'Software\Tarnik\Quellbox' Affiliate)" '"D123\r\n"'
  local dir
  dir=$("$QB_WINE" winepath -w "$QB_DIR" 2>/dev/null | tr -d '\r')
  expect_eq "WaveFile names the shipped sound" "$(qb_reg_value "$QB_KEY" WaveFile)" "$dir\\357.wav"
  expect_true "357.wav ships in the program directory" test -s "$QB_DIR/357.wav"
}
