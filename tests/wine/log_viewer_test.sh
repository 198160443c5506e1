# The log viewer and the options dialog on the real Quellbox.exe, with a log of a year's size.

# A url.log of $1 lines; the last three name third.example, second.example and last.example,
# whose address is longer than the 260 characters a list view row holds.
write_log() {
  awk -v n="$1" 'BEGIN {
    for (i = 1; i <= n - 3; i++) printf "12/5/2026 1:05:09 PM - http://ads%d.example/pop?c=%d\r\n", i % 997, i
    printf "12/5/2026 1:05:10 PM - http://third.example/x\r\n"
    printf "12/5/2026 1:05:11 PM - http://second.example/y\r\n"
    long = "http://last.example/"; while (length(long) < 300) long = long "z"
    printf "12/5/2026 1:05:12 PM - %s\r\n", long
  }' >"$QB_DIR/url.log"
}

# The size "W H" of the window titled exactly $1 (the largest of that name).
window_size() {
  local id
  for id in $(xdotool search --name "^$1\$" 2>/dev/null); do
    xdotool getwindowgeometry --shell "$id" 2>/dev/null |
      awk -F= '{v[$1] = $2} END {print v["WIDTH"] * v["HEIGHT"], v["WIDTH"], v["HEIGHT"]}'
  done | sort -n | tail -1 | cut -d' ' -f2-
}

# The box "X Y W H" of the dialog titled $1. The dialogs open centred on the desktop above the
# taskbar (1024 x 748); xdotool's positions of Wine's windows on a virtual desktop are off,
# their sizes are right.
window_box() {
  local w h
  read -r w h <<<"$(window_size "$1")"
  [ -n "$h" ] || return 1
  echo "$(((1024 - w) / 2)) $(((748 - h) / 2)) $w $h"
}

# The OCR words "X Y WORD" in the dialog titled $1 now (read in its own box: the whole screen
# reads worse).
window_words() {
  local box shot="$QB_WORK/window.png"
  box=$(window_box "$1") || return 1
  qb_screenshot "$shot"
  qb_ocr_words "$shot" "$box"
}

# Clicks $4 times (default once) the first word of the dialog $1 that contains $2 and, when $3
# is not empty, is followed by a word starting with $3.
click_word() {
  local at
  at=$(window_words "$1" | awk -v word="$2" -v next_word="${3:-}" '
    found { if (index($3, next_word) == 1) { print at; exit } found = 0 }
    index($3, word) > 0 { if (next_word == "") { print $1, $2; exit } found = 1; at = $1 " " $2 }')
  [ -n "$at" ] || return 1
  xdotool mousemove ${at% *} ${at#* } click --repeat "${4:-1}" --delay 80 1
}

# Drags with the mouse from "X Y" to "X Y" on the screen, as a user resizes a window by its corner.
drag() {
  xdotool mousemove ${1% *} ${1#* } mousedown 1
  sleep 0.3
  xdotool mousemove ${2% *} ${2#* }
  sleep 0.3
  xdotool mouseup 1
  sleep 0.5
}

test_a_year_of_log_opens_at_once_and_its_rows_work() {
  write_log 200000
  start_with_icon || return
  expect_true "Trusted Sites opens" menu_command Trusted
  expect_true "the trusted sites window appears" wait_for_window "Trusted Sites"
  # From the click on Logs to the window on screen.
  local shot="$QB_WORK/menu-logs.png" box words start shown
  box=$(qb_open_menu "$QB_ICON" "$shot")
  words=$(qb_ocr_words "$shot" "$box")
  start=$(date +%s%N)
  expect_true "Logs is clicked" qb_click_word "$words" Logs
  expect_true "the log window appears" wait_for_window Logs
  shown=$(( ($(date +%s%N) - start) / 1000000 ))
  echo "    the 200,000-line log's window was up ${shown} ms after the click" | tee "$QB_ARTIFACTS/log-open-time.txt"
  sleep 0.5
  qb_screenshot "$QB_ARTIFACTS/log-200000.png"
  words=$(window_words Logs | cut -d' ' -f3)
  expect_true "the count 200000 is shown" grep -qx 200000 <<<"$words"
  # The list's small font reads poorly: parts of words are looked for.
  expect_true "the last line is shown, cut to fit" grep -q "last" <<<"$words"

  expect_true "the last row is clicked" click_word Logs last
  sleep 0.3
  expect_true "Add to Trusted is clicked" click_word Logs Trusted
  sleep 0.3
  expect_true "the last row is clicked again" click_word Logs last
  xdotool key Up
  sleep 0.3
  expect_true "Add to Trusted takes the line above" click_word Logs Trusted
  sleep 0.3
  expect_true "a row is double-clicked" click_word Logs //thi "" 2
  sleep 0.5
  click_word Logs Trusted  # disabled after a double-click: nothing is added
  sleep 0.3
  # Wine's taskbar leaves the keyboard nowhere: the log is closed instead, so that the trusted
  # sites window behind it shows.
  expect_true "the log is closed" click_word Logs Close
  sleep 0.5
  xdotool key Tab  # a focus rectangle over the first entry would spoil its reading
  sleep 0.3
  qb_screenshot "$QB_ARTIFACTS/trusted-with-log-hosts.png"
  words=$(window_words "Trusted Sites" | cut -d' ' -f3)
  expect_true "the hosts show in the open Trusted Sites" grep -q "last" <<<"$words"
  expect_true "the hosts show in the open Trusted Sites" grep -q "second" <<<"$words"
  exit_from_menu
  expect_eq "trust.hosts" "$(tr -d '\r' <"$QB_DIR/trust.hosts" | tr '\n' ' ')" "last.example second.example "
}

test_options_keep_their_minimum_size_and_reach_the_registry_at_exit() {
  start_with_icon || return
  expect_true "Options opens" menu_command Options
  expect_true "the options window appears" wait_for_window "Quellbox Options"
  sleep 1
  expect_true "the hold-key box is cleared" click_word "Quellbox Options" Temporarily
  expect_true "Keep log is cleared" click_word "Quellbox Options" Keep
  expect_true "Light is chosen" click_word "Quellbox Options" Light
  expect_true "Beep is chosen" click_word "Quellbox Options" Beep
  sleep 0.5
  qb_screenshot "$QB_ARTIFACTS/options-changed.png"
  local before grown after x y w h
  before=$(window_size "Quellbox Options")
  read -r x y w h <<<"$(window_box "Quellbox Options")"
  # Larger first, so that a drag that never reached the window cannot pass for a refusal.
  drag "$((x + w - 3)) $((y + h - 3))" "$((x + w + 40)) $((y + h + 40))"
  grown=$(window_size "Quellbox Options")
  expect_true "the corner is dragged out ($before -> $grown)" test "$grown" != "$before"
  drag "$((x + w + 37)) $((y + h + 37))" "20 20"
  after=$(window_size "Quellbox Options")
  read -r w h <<<"$after"
  qb_screenshot "$QB_ARTIFACTS/options-after-resize.png"
  expect_true "a resize below the minimum is refused ($before -> $after)" test "$w" -ge 400 -a "$h" -ge 400
  exit_from_menu
  expect_eq "Disable" "$(qb_reg_value "$QB_KEY" Disable)" 0
  expect_eq "Log" "$(qb_reg_value "$QB_KEY" Log)" 0
  expect_eq "Mode" "$(qb_reg_value "$QB_KEY" Mode)" False
  expect_eq "Sound" "$(qb_reg_value "$QB_KEY" Sound)" 1
}

# Wine's HTML Help shows no text popups: a stand-in library in the system directory records
# what Quellbox asks of it.
test_f1_asks_for_the_focused_controls_topic() {
  local cxx=i686-w64-mingw32-g++-win32 system="$WINEPREFIX/drive_c/windows/syswow64"
  if [ "$QB_WINE" = /usr/lib/wine/wine64 ] || [ ! -d "$system" ]; then
    cxx=x86_64-w64-mingw32-g++-posix system="$WINEPREFIX/drive_c/windows/system32"
  fi
  expect_true "the stand-in help library builds" \
    "$cxx" -shared -static -Wl,--kill-at -o "$system/hhctrl.ocx" "$QB_HERE/../win32/fake_hhctrl.cpp" || return
  local log="$QB_WORK/hhctrl-calls.txt"
  QB_ENV=("WINEDLLOVERRIDES=$WINEDLLOVERRIDES;hhctrl.ocx=n" "QUELLBOX_FAKE_HHCTRL_LOG=Z:${log//\//\\}")
  start_with_icon || { QB_ENV=(); return; }
  QB_ENV=()
  expect_true "Options opens" menu_command Options
  expect_true "the options window appears" wait_for_window "Quellbox Options"
  sleep 1
  expect_true "Test gets the focus" click_word "Quellbox Options" Test
  sleep 0.5
  xdotool key F1
  sleep 1
  expect_eq "the help asked for" "$(tail -1 "$log" 2>/dev/null | tr -d '\r')" "14 1309"
  # The menu reads better with no dialog beside it.
  expect_true "Close is clicked" click_word "Quellbox Options" Close
  sleep 0.5
  exit_from_menu
}
