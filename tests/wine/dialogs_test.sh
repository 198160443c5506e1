# The dialogs on the real Quellbox.exe, opened from the tray menu. Screenshots go to the artifacts.

# Clicks a word of the tray menu.
menu_command() {
  local shot="$QB_WORK/menu-$1.png" box words
  box=$(qb_open_menu "$QB_ICON" "$shot") || return 1
  words=$(qb_ocr_words "$shot" "$box")
  qb_click_word "$words" "$1"
}

# How many windows have exactly this title (a regular expression).
windows_titled() { xdotool search --name "^$1\$" 2>/dev/null | wc -l; }

wait_for_window() {
  local i
  for ((i = 0; i < 40; i++)); do
    [ "$(windows_titled "$1")" -ge 1 ] && return 0
    sleep 0.25
  done
  return 1
}

exit_from_menu() {
  expect_true "Exit is chosen" menu_command Exit
  expect_true "Quellbox ends" qb_wait_count 0 20
}

open_each_dialog_twice() {
  local suffix="$1" entry word title
  for entry in "Options|$2" "Logs|$3" "Trusted|$4" "About|$5"; do
    word=${entry%%|*}
    title=${entry#*|}
    expect_true "'$word' opens a window titled '$title'" menu_command "$word"
    expect_true "the window '$title' appears" wait_for_window "$title"
    sleep 1
    qb_screenshot "$QB_ARTIFACTS/dialog-$word-$suffix.png"
    expect_true "'$word' is chosen again" menu_command "$word"
    sleep 1
    expect_eq "windows titled '$title' after a second open" "$(windows_titled "$title")" 1
    click_word "$title" "$6" || xdotool key Escape  # close it again, so the next one is seen alone
    sleep 0.5
  done
}

test_every_dialog_opens_once_from_the_menu() {
  start_with_icon || return
  open_each_dialog_twice en "Quellbox Options" "Logs" "Trusted Sites" "About" Close
  exit_from_menu
}

test_a_french_user_gets_the_french_menu_and_dialogs() {
  QB_LANG=fr_FR.UTF-8
  start_with_icon || return
  local words entry word
  words=$(menu_words menu-fr.png | cut -d' ' -f3)
  xdotool key Escape mousemove 600 100 click 1  # the menu goes without a choice
  for word in Options Journaux Forum Aide Quitter; do
    expect_true "the French menu shows '$word'" grep -qw -- "$word" <<<"$words"
  done
  expect_true "no English 'Exit'" bash -c "! grep -qw Exit <<<'$words'"
  for entry in "Options|Options de Quellbox" "Journaux|Logs" "Sites|Sites de confiance" "propos|. propos"; do
    expect_true "'${entry%%|*}' opens its window" menu_command "${entry%%|*}"
    expect_true "the window '${entry#*|}' appears" wait_for_window "${entry#*|}"
    sleep 1
    qb_screenshot "$QB_ARTIFACTS/dialog-${entry%%|*}-fr.png"
    xdotool key Escape
    sleep 0.5
  done
  QB_LANG=
  expect_true "Quellbox closes gracefully" qb_close
}

test_an_added_site_reaches_trust_hosts() {
  printf 'alpha\r\n' >"$QB_DIR/trust.hosts"
  start_with_icon || return
  expect_true "Trusted Sites opens" menu_command Trusted
  expect_true "the trusted sites window appears" wait_for_window "Trusted Sites"
  sleep 1
  expect_true "Add Site is clicked" click_word "Trusted Sites" Add
  expect_true "the add window appears" wait_for_window "Add to thrustworthy hosts list"
  sleep 0.5
  xdotool type --delay 40 "  gamma  "
  xdotool key Return
  sleep 0.5
  qb_screenshot "$QB_ARTIFACTS/trusted-after-add.png"
  exit_from_menu
  expect_eq "trust.hosts" "$(od -An -c "$QB_DIR/trust.hosts" | tr -s ' ')" \
    "$(printf 'alpha\r\ngamma\r\n' | od -An -c | tr -s ' ')"
}

test_clear_logs_empties_url_log() {
  printf '12/5/2026 1:05:09 PM - http://ads.example/pop\r\n' >"$QB_DIR/url.log"
  start_with_icon || return
  expect_true "Logs opens" menu_command Logs
  expect_true "the log window appears" wait_for_window Logs
  sleep 1
  expect_true "Clear Logs is clicked" click_word Logs Clear
  sleep 1
  expect_eq "url.log size" "$(stat -c %s "$QB_DIR/url.log")" 0
  expect_true "Quellbox closes gracefully" qb_close
}

test_help_without_its_file_says_so() {
  rm -f "$QB_DIR/Quellbox.chm"
  start_with_icon || return
  expect_true "Help is chosen" menu_command Help
  expect_true "the help class message appears" wait_for_window "HTML Help Class"
  sleep 0.5
  qb_screenshot "$QB_ARTIFACTS/help-missing.png"
  xdotool key Return
  sleep 0.5
  expect_eq "Quellbox runs on" "$(qb_count)" 1
  expect_true "Quellbox closes gracefully" qb_close
}

# A high-contrast scheme (light text on black; Windows turns visual styles off with it): the
# options' labels follow the system's colours instead of vanishing black on black.
test_options_follow_a_high_contrast_scheme() {
  local pair
  expect_true "the virtual desktop comes up" qb_desktop || return
  for pair in "Window|0 0 0" "WindowText|255 255 255" "ButtonFace|0 0 0" "ButtonText|255 255 255" \
              "Background|0 0 0" "GrayText|0 255 0" "Highlight|0 0 255" "HighlightText|255 255 255"; do
    qb_reg_set 'HKCU\Control Panel\Colors' "${pair%%|*}" "${pair#*|}"
  done
  qb_reg_set 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' ThemeActive 0
  QB_EMPTY="$QB_WORK/empty.png"
  qb_screenshot "$QB_EMPTY"
  expect_true "Quellbox starts" qb_start || return
  QB_ICON=$(qb_tray_icon "$QB_EMPTY")
  expect_true "Options opens" menu_command Options
  expect_true "the options window appears" wait_for_window "Quellbox Options"
  xdotool mousemove 1000 20
  sleep 1.5
  local shot="$QB_ARTIFACTS/dialog-options-high-contrast.png" negated="$QB_WORK/negated.png"
  qb_screenshot "$shot"
  convert "$shot" -negate "$negated"
  expect_true "the label of the lifetime count can be read, light on dark" \
    grep -qw Lifetime <<<"$(qb_ocr_words "$negated" "152 104 720 560" | cut -d' ' -f3)"
  xdotool key Escape
  expect_true "Quellbox closes gracefully" qb_close
}
