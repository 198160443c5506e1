# The setup program ($QB_SETUP: the release's, or its 64-bit stand-in) and its uninstaller under Wine.

QB_UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quellbox'

# Where the setup installs by default: QB_SETUP_WIN_DIR, and QB_DIR as a Unix path; and its
# start-menu folder, QB_SETUP_MENU.
setup_folders() {
  local folder
  folder=$("$QB_WINE" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
  QB_SETUP_WIN_DIR="$folder\\Programs\\Quellbox"
  QB_DIR=$("$QB_WINE" winepath -u "$QB_SETUP_WIN_DIR" 2>/dev/null)
  folder=$("$QB_WINE" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
  QB_SETUP_MENU=$("$QB_WINE" winepath -u "$folder\\Microsoft\\Windows\\Start Menu\\Programs\\Quellbox" 2>/dev/null)
}


have_setup() {
  [ -n "${QB_SETUP:-}" ] && [ -f "$QB_SETUP" ] && return 0
  skip "no setup program to test"
  return 1
}

# Runs the setup silently with arguments $@ and returns its exit code.
silent_setup() { "$QB_WINE" "$QB_SETUP" /S "$@" >/dev/null 2>&1; }

# Runs $1 with arguments on the virtual desktop, where Quellbox's window is, and waits until it
# and whatever it started in its place have ended.
run_on_desktop() {
  local program="$1"
  shift
  (setsid "$QB_WINE" explorer /desktop=$QB_DESKTOP "$program" "$@" >/dev/null 2>&1 &)
  sleep 2
  # The uninstaller copies itself into %TEMP%\~nsu*.tmp and runs the copy, named Au_.exe (or
  # Un_A.exe, by NSIS version), without waiting for it.
  qb_wait_gone '(setup|uninstall|Au_|Un_A)\.exe' 90
}

test_a_silent_setup_installs_for_the_user_and_quellbox_runs_from_there() {
  have_setup || return 0
  setup_folders
  local dir="$QB_DIR"
  mkdir -p "$dir" && head -c 3000000 /dev/zero >"$dir/unrelated.bin"  # not Quellbox's size
  expect_true "the silent setup succeeds" silent_setup
  local f
  for f in Quellbox.exe Quellbox.chm 357.wav uninstall.exe; do
    expect_true "$f is installed" test -f "$dir/$f"
  done
  expect_eq "the installed program" "$(cmp -s "$dir/Quellbox.exe" "$QB_EXE" && echo same)" same
  expect_eq "DisplayName" "$(qb_reg_value "$QB_UNINSTALL_KEY" DisplayName)" Quellbox
  expect_eq "DisplayVersion" "$(qb_reg_value "$QB_UNINSTALL_KEY" DisplayVersion)" 3.0.80
  expect_eq "Publisher" "$(qb_reg_value "$QB_UNINSTALL_KEY" Publisher)" Tarnik
  expect_eq "UninstallString" "$(qb_reg_value "$QB_UNINSTALL_KEY" UninstallString)" "\"$QB_SETUP_WIN_DIR\\uninstall.exe\""
  expect_eq "QuietUninstallString" "$(qb_reg_value "$QB_UNINSTALL_KEY" QuietUninstallString)" \
    "\"$QB_SETUP_WIN_DIR\\uninstall.exe\" /S _?=$QB_SETUP_WIN_DIR"
  expect_eq "DisplayIcon" "$(qb_reg_value "$QB_UNINSTALL_KEY" DisplayIcon)" "$QB_SETUP_WIN_DIR\\Quellbox.exe,0"
  local size
  size=$(qb_reg_value "$QB_UNINSTALL_KEY" EstimatedSize)
  expect_true "EstimatedSize is the installed files' size in KB ($size)" test $((size)) -ge 300 -a $((size)) -le 1000
  expect_eq "start-menu entries" "$(ls "$QB_SETUP_MENU" 2>/dev/null | sort | tr '\n' '|')" \
    "Quellbox Help.lnk|Quellbox.lnk|Uninstall Quellbox.lnk|"
  expect_eq "the setup's Run entry" "$(qb_reg_value "$QB_RUN_KEY" Quellbox)" "\"$QB_SETUP_WIN_DIR\\Quellbox.exe\""

  start_with_icon || return
  expect_true "Quellbox closes gracefully" qb_close
  expect_eq "Version saved" "$(qb_reg_value "$QB_KEY" Version)" 3080
  expect_eq "Dir saved" "$(qb_reg_value "$QB_KEY" Dir)" "$QB_SETUP_WIN_DIR"
  expect_eq "its own Run entry" "$(qb_reg_value "$QB_RUN_KEY" Quellbox)" "$QB_SETUP_WIN_DIR\\Quellbox.exe"
  expect_true "spyware.lst written next to it" test -f "$dir/spyware.lst"
}

test_a_silent_update_closes_the_running_quellbox_and_keeps_the_users_files() {
  have_setup || return 0
  setup_folders
  local dir="$QB_DIR"
  expect_true "the first setup succeeds" silent_setup || return
  printf 'news.example\r\n' >"$dir/trust.hosts"
  printf '12/5/2026 1:05:09 PM - http://ads.example/\r\n' >"$dir/url.log"
  touch -d '2020-01-01' "$dir/Quellbox.exe"
  expect_true "the desktop comes up" qb_desktop
  expect_true "Quellbox starts" qb_start || return
  local before
  before=$(qb_pids)
  expect_eq "no settings before Quellbox first closes" "$(qb_reg_names "$QB_KEY" | wc -l)" 0
  run_on_desktop "$QB_SETUP" /S
  expect_eq "trust.hosts kept" "$(cat "$dir/trust.hosts")" $'news.example\r'
  expect_eq "url.log kept" "$(cat "$dir/url.log")" $'12/5/2026 1:05:09 PM - http://ads.example/\r'
  expect_true "the program was replaced" test "$(stat -c %Y "$dir/Quellbox.exe")" -gt "$(date -d 2021-01-01 +%s)"
  # Closed as Windows closes it, Quellbox saved its settings on the way out.
  expect_eq "Version saved by the closed Quellbox" "$(qb_reg_value "$QB_KEY" Version)" 3080
  expect_true "Quellbox runs again" qb_wait_count 1 20
  local after
  after=$(qb_pids)
  expect_true "it is a new process ($before -> $after)" test -n "$after" -a "$after" != "$before"
  expect_true "Quellbox closes gracefully" qb_close
}

test_a_silent_uninstall_removes_the_program_and_keeps_the_users_data() {
  have_setup || return 0
  setup_folders
  local dir="$QB_DIR"
  expect_true "the setup succeeds" silent_setup || return
  printf 'news.example\r\n' >"$dir/trust.hosts"
  printf '12/5/2026 1:05:09 PM - http://ads.example/\r\n' >"$dir/url.log"
  expect_true "the desktop comes up" qb_desktop
  expect_true "Quellbox starts" qb_start || return
  # Left running: the uninstaller closes it.
  run_on_desktop "$dir/uninstall.exe" /S
  expect_eq "Quellbox processes" "$(qb_count)" 0
  local f
  for f in Quellbox.exe Quellbox.chm 357.wav uninstall.exe; do
    expect_true "$f is removed" test ! -e "$dir/$f"
  done
  expect_true "the uninstall entry is removed" qb_reg_absent "$QB_UNINSTALL_KEY" DisplayName
  expect_true "the Run entry is removed" qb_reg_absent "$QB_RUN_KEY" Quellbox
  expect_true "the start-menu folder is removed" test ! -e "$QB_SETUP_MENU"
  expect_eq "trust.hosts kept" "$(cat "$dir/trust.hosts" 2>/dev/null)" $'news.example\r'
  expect_true "url.log kept" test -f "$dir/url.log"
  expect_eq "settings kept" "$(qb_reg_value "$QB_KEY" Version)" 3080
  # Installed again with the settings kept, Quellbox starts with Windows as Options says.
  expect_true "the setup succeeds again" silent_setup
  expect_eq "the Run entry is back" "$(qb_reg_value "$QB_RUN_KEY" Quellbox)" "\"$QB_SETUP_WIN_DIR\\Quellbox.exe\""
  # The quiet uninstall string runs in place, so the caller waits until everything is gone.
  qb_reg_set "$QB_KEY" Startup 0
  "$QB_WINE" reg delete "$QB_RUN_KEY" /v Quellbox /f >/dev/null 2>&1
  expect_true "the uninstaller in place succeeds" "$QB_WINE" "$dir/uninstall.exe" /S "_?=$QB_SETUP_WIN_DIR"
  expect_true "Quellbox.exe is gone when it returns" test ! -e "$dir/Quellbox.exe"
  expect_true "the setup succeeds once more" silent_setup
  expect_true "no Run entry with Startup 0" qb_reg_absent "$QB_RUN_KEY" Quellbox
}

test_the_setup_refuses_a_folder_it_cannot_write_a_root_or_a_relative_path_and_leaves_nothing() {
  have_setup || return 0
  local blocked="$WINEPREFIX/drive_c/blocked" folder rc
  echo "a file, not a folder" >"$blocked"
  for folder in 'C:\blocked\Quellbox' 'C:\' 'Quellbox'; do
    silent_setup "/D=$folder"
    rc=$?
    expect_eq "the setup into $folder fails" "$rc" 2
  done
  expect_eq "the file in the way" "$(cat "$blocked")" "a file, not a folder"
  expect_true "nothing in the drive's root" test ! -e "$WINEPREFIX/drive_c/Quellbox.exe"
  expect_true "no uninstall entry" qb_reg_absent "$QB_UNINSTALL_KEY" DisplayName
  silent_setup '/D=C:\fresh\Quellbox'
  expect_true "a folder that can be made is used" test -f "$WINEPREFIX/drive_c/fresh/Quellbox/Quellbox.exe"
}

# One copy at a time: the entries always describe it, and an uninstaller takes only its own.
test_a_second_folder_is_refused_and_a_strays_uninstaller_leaves_the_installed_copys_entries() {
  have_setup || return 0
  setup_folders
  expect_true "the setup succeeds" silent_setup || return
  silent_setup '/D=C:\Other\Quellbox'
  expect_eq "the setup into another folder fails" "$?" 2
  expect_true "nothing installed there" test ! -e "$WINEPREFIX/drive_c/Other/Quellbox/Quellbox.exe"
  expect_eq "InstallLocation" "$(qb_reg_value "$QB_UNINSTALL_KEY" InstallLocation)" "$QB_SETUP_WIN_DIR"
  # A copy of the folder made by hand, uninstalled: the installed copy keeps its entries.
  cp -r "$QB_DIR" "$WINEPREFIX/drive_c/Stray"
  expect_true "the stray's uninstaller succeeds" "$QB_WINE" 'C:\Stray\uninstall.exe' /S '_?=C:\Stray'
  expect_true "the stray's program is gone" test ! -e "$WINEPREFIX/drive_c/Stray/Quellbox.exe"
  expect_eq "the Uninstall entry stays" "$(qb_reg_value "$QB_UNINSTALL_KEY" InstallLocation)" "$QB_SETUP_WIN_DIR"
  expect_eq "the Run entry stays" "$(qb_reg_value "$QB_RUN_KEY" Quellbox)" "\"$QB_SETUP_WIN_DIR\\Quellbox.exe\""
  expect_true "the start-menu links stay" test -e "$QB_SETUP_MENU/Quellbox.lnk"
}

# A Quellbox that hangs answers no WM_CLOSE: the setup gives up in bounded time and says so.
test_a_hung_quellbox_stops_a_silent_setup_within_forty_seconds() {
  have_setup || return 0
  local helper start rc
  helper="$(dirname "${QB_WIN_UNIT_TESTS:-}")/fake_ie.exe"
  [ -f "$helper" ] || { fail "fake_ie.exe is not built beside the Windows tests"; return; }
  (setsid "$(qb_loader "$helper")" "$helper" hung-quellbox >/dev/null 2>&1 &)
  sleep 3
  start=$SECONDS
  timeout 120 "$QB_WINE" "$QB_SETUP" /S >/dev/null 2>&1
  rc=$?
  expect_eq "the setup's exit code" "$rc" 2
  expect_true "it gave up within 40 s ($((SECONDS - start)) s)" test $((SECONDS - start)) -le 40
  setup_folders
  expect_true "nothing installed" test ! -e "$QB_DIR/Quellbox.exe"
}

# A folder the system code page cannot spell, from the setup to the uninstaller.
test_quellbox_installs_runs_and_uninstalls_in_a_folder_named_lodz() {
  have_setup || return 0
  expect_true "the setup succeeds" silent_setup '/D=C:\Łódź\Quellbox' || return
  QB_DIR="$WINEPREFIX/drive_c/Łódź/Quellbox"
  expect_true "Quellbox.exe is there" test -f "$QB_DIR/Quellbox.exe"
  expect_true "the desktop comes up" qb_desktop
  expect_true "Quellbox starts" qb_start || return
  expect_true "Quellbox closes gracefully" qb_close
  expect_true "spyware.lst and trust.hosts written there" test -f "$QB_DIR/spyware.lst" -a -f "$QB_DIR/trust.hosts"
  "$QB_WINE" regedit /E "$QB_WORK/run.reg" 'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run' >/dev/null 2>&1
  expect_eq "the Run entry" "$(iconv -f UTF-16 -t UTF-8 "$QB_WORK/run.reg" | tr -d '\r' | sed -n 's/^"Quellbox"=//p')" \
    '"C:\\Łódź\\Quellbox\\Quellbox.exe"'
  expect_true "the uninstaller succeeds" "$QB_WINE" "$QB_DIR/uninstall.exe" /S '_?=C:\Łódź\Quellbox'
  expect_true "Quellbox.exe is gone" test ! -e "$QB_DIR/Quellbox.exe"
  expect_true "the Run entry is removed" qb_reg_absent "$QB_RUN_KEY" Quellbox
}

# The first page, in the language the program itself would choose; the English one goes to the
# README.
test_the_setups_first_page_speaks_the_users_language() {
  have_setup || return 0
  expect_true "the desktop comes up" qb_desktop || return
  local empty="$QB_WORK/before-setup.png" shot="$QB_WORK/setup.png" lang expected box i words
  # Notepad in the background, so that only the setup's window changes the screen.
  xdotool mousemove 900 300 click 1
  sleep 0.5
  qb_screenshot "$empty"
  # Portuguese speakers get the Portuguese of Brazil, as in the program ("Instalador").
  for lang in en_US.UTF-8:Welcome fr_FR.UTF-8:Bienvenue pt_PT.UTF-8:Instalador; do
    expected=${lang#*:}
    (cd "$QB_WORK" && setsid env LANG="${lang%%:*}" LC_ALL="${lang%%:*}" \
      "$QB_WINE" explorer /desktop=$QB_DESKTOP "$QB_SETUP" >/dev/null 2>&1 &)
    box=
    for ((i = 0; i < 40; i++)); do
      sleep 0.5
      qb_screenshot "$shot"
      box=$(qb_changed_box "$empty" "$shot" 1024x748+0+0)
      [ -n "$box" ] && break
    done
    sleep 1
    qb_screenshot "$shot"
    box=$(qb_changed_box "$empty" "$shot" 1024x748+0+0)
    words=$(qb_ocr_words "$shot" "$box" | cut -d' ' -f3)
    expect_true "the first page says $expected" grep -q "^$expected" <<<"$words"
    read -r x y w h <<<"$box"
    convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$QB_ARTIFACTS/setup-first-page-${lang:0:2}.png"
    "$QB_WINE" explorer /desktop=$QB_DESKTOP taskkill /f /im "$(basename "$QB_SETUP")" >/dev/null 2>&1
    qb_wait_gone 'setup\.exe' 20
    sleep 1
  done
}
