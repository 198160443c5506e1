# The tray icon and its menu on the real Quellbox.exe: screenshots are kept in the artifacts.

QB_MENU_EN=(Enabled Options Logs Trusted Sites Check Forum About Help Exit)

# Starts Quellbox on a desktop that was up before it; sets QB_EMPTY (the screen without the
# icon) and QB_ICON ("X Y").
start_with_icon() {
  QB_EMPTY="$QB_WORK/empty.png"
  expect_true "the virtual desktop comes up" qb_desktop || return 1
  qb_screenshot "$QB_EMPTY"
  expect_true "Quellbox starts" qb_start || return 1
  QB_ICON=$(qb_tray_icon "$QB_EMPTY")
  expect_true "the icon appears in the notification area" test -n "$QB_ICON"
  [ -n "$QB_ICON" ]
}

# The words of the menu opened now, one per line; its screenshot goes to the artifacts as $1.
menu_words() {
  local shot="$QB_ARTIFACTS/$1" box
  box=$(qb_open_menu "$QB_ICON" "$shot")
  [ -n "$box" ] || return 1
  qb_ocr_words "$shot" "$box"
}

icon_crop() {
  local x y
  read -r x y <<<"$QB_ICON"
  convert "$1" -crop "16x16+$((x - 8))+$((y - 8))" +repage "$2"
}

test_tray_icon_menu_toggle_and_exit() {
  start_with_icon || return
  local words word
  words=$(menu_words menu-en.png)
  for word in "${QB_MENU_EN[@]}"; do
    expect_true "the menu shows '$word'" grep -qw -- "$word" <<<"$(cut -d' ' -f3 <<<"$words")"
  done

  local on="$QB_WORK/icon-on.png" off="$QB_WORK/icon-off.png" shot="$QB_WORK/after-toggle.png"
  qb_screenshot "$shot" && icon_crop "$shot" "$on"
  expect_true "Enabled is clicked" qb_click_word "$words" Enabled
  xdotool mousemove 400 300
  sleep 1
  qb_screenshot "$shot" && icon_crop "$shot" "$off"
  expect_true "switching blocking off changes the icon" \
    test "$(compare -metric AE "$on" "$off" null: 2>&1)" -gt 20
  cp "$shot" "$QB_ARTIFACTS/icon-off.png"

  words=$(menu_words menu-after-toggle.png)
  expect_true "Exit is clicked" qb_click_word "$words" Exit
  expect_true "Exit ends Quellbox" qb_wait_count 0 20
  sleep 1
  qb_screenshot "$shot"
  expect_true "no icon is left behind" qb_unchanged "$QB_EMPTY" "$shot" "$QB_TRAY_AREA"
  expect_eq "values saved at exit" "$(qb_reg_names "$QB_KEY" | wc -l)" 14
}

# Explorer restarts with a notification area that refuses icons at first: Quellbox keeps
# offering its icon until the area takes it.
test_the_icon_comes_back_when_a_restarted_taskbar_takes_it_late() {
  start_with_icon || return
  local helper out shot="$QB_WORK/after-outage.png"
  helper="$(dirname "${QB_WIN_UNIT_TESTS:-}")/fake_ie.exe"
  [ -f "$helper" ] || { fail "fake_ie.exe is not built beside the Windows tests"; return; }
  out=$("$(qb_loader "$helper")" explorer /desktop=$QB_DESKTOP "$helper" tray-outage 5 2>/dev/null | tr -d '\r')
  expect_true "the refusing taskbar was asked more than once ($out)" \
    test "${out#refused }" -gt 2 2>/dev/null
  expect_true "the icon is back" qb_tray_icon "$QB_EMPTY"
  qb_screenshot "$shot" && cp "$shot" "$QB_ARTIFACTS/icon-after-outage.png"
  expect_true "Quellbox closes gracefully" qb_close
}

# The demo's page has had pop-ups blocked: the tray menu's Blocked pop-ups list shows them and
# what may be allowed, and the demo played through Quellbox.exe as in the simulator.
test_the_blocked_popups_list_after_the_demo() {
  local helper words word
  helper="$(dirname "${QB_WIN_UNIT_TESTS:-}")/fake_ie.exe"
  [ -f "$helper" ] || { fail "fake_ie.exe is not built beside the Windows tests"; return; }
  QB_EMPTY="$QB_WORK/empty.png"
  expect_true "the virtual desktop comes up" qb_desktop || return
  qb_screenshot "$QB_EMPTY"
  expect_true "the demo plays" qb_play_demo "$helper" "$QB_HERE/../../docs/demo.scn" || return
  QB_ICON=$(qb_tray_icon "$QB_EMPTY")
  expect_true "the icon is there" test -n "$QB_ICON" || return
  words=$(qb_show_blocked_list "$QB_ARTIFACTS/tray-blocked.png" | cut -d' ' -f3 | tr '\n' ' ')
  for word in cheap-flights win-a-prize Always until; do
    expect_true "the list shows '$word' ($words)" grep -q -- "$word" <<<"$words"
  done
  xdotool mousemove 980 300 click 1  # the menu closes, on the empty desktop
  expect_true "Quellbox closes gracefully" qb_close
  local i
  for ((i = 0; i < 120; i++)); do
    grep -q '^scenarios:' "$QB_WORK/demo.txt" 2>/dev/null && break
    sleep 0.25
  done
  expect_true "the demo's transcript is the simulator's ($(head -c 300 "$QB_WORK/demo.txt" 2>/dev/null))" \
    grep -q '^ok ' "$QB_WORK/demo.txt"
}
