# Wine harness: sourced by tests/wine/run.sh and by ./run.sh.
# Everything it starts it also ends: its own Xvfb (by pid) and the wineserver of its own prefixes.

QB_DESKTOP="shell,1024x768"
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko install prompts
export WINEDEBUG=-all

# Starts Xvfb on a free display number; sets DISPLAY and QB_XVFB_PID.
qb_start_xvfb() {
  local fifo display
  fifo=$(mktemp -u) && mkfifo "$fifo"
  # In a session of its own, like every Wine process here: a Ctrl-C meant for the script must not
  # take the display or Quellbox down before Quellbox is closed properly.
  # Without job control for this start: a job is a process group leader, from which setsid
  # would fork, and $! would not be the server.
  local flags=$-
  set +m
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  QB_XVFB_PID=$!
  [[ $flags == *m* ]] && set -m
  read -r -t 20 display <"$fifo"
  rm -f "$fifo"
  [ -n "$display" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$display"
}

qb_stop_xvfb() {
  [ -n "${QB_XVFB_PID:-}" ] && kill "$QB_XVFB_PID" 2>/dev/null && wait "$QB_XVFB_PID" 2>/dev/null
  QB_XVFB_PID=
}

# The Wine loader for a Windows program of the width of $1: Wine's own programs (explorer,
# taskkill, reg) run with the width of the loader that starts them, and a 32-bit taskkill cannot
# see a 64-bit process.
qb_loader() {
  local pe magic
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  magic=$(od -An -tx2 -j$((pe + 24)) -N2 "$1" 2>/dev/null | tr -d ' ')
  if [ "$magic" = 020b ]; then echo /usr/lib/wine/wine64; else echo wine; fi
}
QB_WINE=wine

# Makes a prefix once per run; each test then starts from a copy of it.
qb_make_template_prefix() {
  QB_TEMPLATE_PREFIX="$1"
  WINEPREFIX="$QB_TEMPLATE_PREFIX" setsid -w "$QB_WINE" wineboot --init >/dev/null 2>&1
  # A crash writes its backtrace to the program's log instead of waiting in a dialog.
  WINEPREFIX="$QB_TEMPLATE_PREFIX" "$QB_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
    /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # Wine's own shell window list cannot hold Quellbox's subscription, and fetching it from
  # Explorer now and then crashes Wine's COM (combase rpc_get_local_class_object, seen with the
  # 64-bit loader, before and after Quellbox's changes alike): these tests treat its class as
  # one nobody serves, so Quellbox finds no shell list and retries, as when Explorer is not up.
  # The scenarios (scenarios.sh) route the class to fake IE instead.
  local view
  for view in 32 64; do
    WINEPREFIX="$QB_TEMPLATE_PREFIX" "$QB_WINE" reg add \
      'HKLM\Software\Classes\CLSID\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\TreatAs' /ve \
      /d '{5A3C1E2B-7D1F-4C2A-9E10-0000000000DE}' /f /reg:$view >/dev/null 2>&1
  done
  WINEPREFIX="$QB_TEMPLATE_PREFIX" wineserver -w
}

# What ships in the program directory besides the executable, found next to it after a build.
QB_SHIPPED_FILES=(357.wav Quellbox.chm)

# Copies Quellbox.exe and the files shipped with it into the program directory $QB_DIR.
qb_install() {
  local f
  mkdir -p "$QB_DIR"
  cp "$QB_EXE" "$QB_DIR/Quellbox.exe"
  for f in "${QB_SHIPPED_FILES[@]}"; do
    [ -f "$(dirname "$QB_EXE")/$f" ] && cp "$(dirname "$QB_EXE")/$f" "$QB_DIR/"
  done
}

# A fresh prefix and a program directory of the test's own, holding a copy of Quellbox.exe.
# Sets WINEPREFIX and QB_DIR (the program directory as a Linux path).
qb_fresh_prefix() {
  local root="$1"
  mkdir -p "$root"
  cp -a "$QB_TEMPLATE_PREFIX" "$root/prefix"
  export WINEPREFIX="$root/prefix"
  QB_DIR="$root/program"
  QB_WORK="$root"
  qb_install
}

# True when process $1 runs in this prefix.
qb_in_prefix() { { tr "\0" "\n" <"/proc/$1/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; }

# Process ids of the Quellbox.exe processes of this prefix.
qb_pids() {
  local pid
  for pid in $(pgrep -f '(^|[\\/])Quellbox\.exe' 2>/dev/null); do
    [ "$(ps -o comm= -p "$pid" 2>/dev/null)" = "Quellbox.exe" ] || continue
    qb_in_prefix "$pid" && echo "$pid"
  done
}

# Waits up to $2 seconds (default 60) until no process of this prefix has a command line that
# matches the extended regular expression $1.
qb_wait_gone() {
  local pattern="$1" limit="${2:-60}" i pid busy
  for ((i = 0; i < limit * 4; i++)); do
    busy=
    for pid in $(pgrep -f "$pattern" 2>/dev/null); do qb_in_prefix "$pid" && busy=1; done
    [ -z "$busy" ] && return 0
    sleep 0.25
  done
  return 1
}

qb_count() { qb_pids | wc -l; }

# Waits up to $2 seconds (default 20) until the process count is $1.
qb_wait_count() {
  local want="$1" limit="${2:-20}" i
  for ((i = 0; i < limit * 4; i++)); do
    [ "$(qb_count)" -eq "$want" ] && return 0
    sleep 0.25
  done
  return 1
}

# Starts Quellbox on the virtual desktop, from its program directory, and waits until it runs;
# QB_ENV may hold further NAME=VALUE words for its environment.
# A start handed to a desktop that is still coming up can get lost: then it starts it again.
qb_start() {
  local attempt
  for attempt in 1 2; do
    (cd "$QB_DIR" && setsid env ${QB_LANG:+LANG=$QB_LANG LC_ALL=$QB_LANG} ${QB_ENV[@]+"${QB_ENV[@]}"} \
      "$QB_WINE" explorer /desktop=$QB_DESKTOP Quellbox.exe >>"$QB_WORK/quellbox-wine.log" 2>&1 &)
    qb_wait_count 1 20 && return 0
    [ "$(qb_count)" -gt 0 ] && return 1
  done
  return 1
}

# Closes Quellbox the way Windows asks a program to: WM_CLOSE to its windows. taskkill only
# reaches windows of its own desktop, so it runs on the same virtual desktop.
qb_close() {
  "$QB_WINE" explorer /desktop=$QB_DESKTOP taskkill /im Quellbox.exe >/dev/null 2>&1
  qb_wait_count 0 20
}

# Ends this prefix's wineserver and everything it runs.
qb_end_prefix() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1 || true
}

# The data of one registry value, or nothing (exit 1) when absent.
qb_reg_value() {
  local key="$1" name="$2" line
  line=$("$QB_WINE" reg query "$key" /v "$name" 2>/dev/null | tr -d '\r' | grep -E "^ +$name +REG_")
  [ -n "$line" ] || return 1
  sed -E "s/^ +$name +REG_[A-Z_]+( {4})?//" <<<"$line"
}

# All value names of a key, one per line.
qb_reg_names() {
  "$QB_WINE" reg query "$1" 2>/dev/null | tr -d '\r' | sed -nE 's/^ +([^ ]+) +REG_.*/\1/p'
}

# A value as wineserver stored it in user.reg (escapes such as \r\n kept), once the prefix ended.
# The key is given below HKCU, e.g. 'Software\Tarnik\Quellbox'.
qb_user_reg_value() {
  QB_HEADER="[${1//\\/\\\\}]" QB_NAME="\"$2\"=" awk '
    index($0, ENVIRON["QB_HEADER"]) == 1 { inside = 1; next }
    /^\[/ { inside = 0 }
    inside && index($0, ENVIRON["QB_NAME"]) == 1 { print substr($0, length(ENVIRON["QB_NAME"]) + 1); exit }
  ' "$WINEPREFIX/user.reg"
}

# True when the value is absent while reg itself works (it can read the key of the settings'
# parent), so that a reg that fails does not pass for an absent value.
qb_reg_absent() {
  "$QB_WINE" reg query 'HKCU\Software' >/dev/null 2>&1 && ! qb_reg_value "$@" >/dev/null
}

qb_reg_set() { "$QB_WINE" reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1; }

qb_screenshot() { import -window root -display "$DISPLAY" "$1" 2>/dev/null; }

# A Linux path as Windows programs under Wine name it.
qb_windows_path() { local p; p=$(readlink -f "$1"); echo "Z:${p//\//\\}"; }

# Plays the scenario $2 (docs/demo.scn) with fake_ie.exe $1 on the virtual desktop: it starts
# Quellbox from $QB_DIR, shows the page's windows and, once the scenario has played (true then),
# serves them until Quellbox is closed; its report (--check) goes to $QB_WORK/demo.txt.
qb_play_demo() {
  local helper="$1" scenario i
  scenario=$(qb_windows_path "$2")
  rm -f "$QB_WORK/demo.played" "$QB_WORK/demo.txt"
  # Quellbox's traced calls (the balloons) are read from the runner's standard error.
  (cd "$QB_DIR" && setsid "$(qb_loader "$helper")" explorer /desktop=$QB_DESKTOP "$helper" run --demo --desktop "${QB_DESKTOP%%,*}" --check \
    --exe "$(qb_windows_path "$QB_DIR/Quellbox.exe")" --dir "$(qb_windows_path "$QB_DIR")" \
    --trace "$(qb_windows_path "$QB_WORK")\\trace.log" --out "$(qb_windows_path "$QB_WORK")\\demo.txt" \
    "$scenario" >"$QB_WORK/trace.log" 2>&1 &)
  for ((i = 0; i < 240; i++)); do
    [ -f "$QB_WORK/demo.played" ] && return 0
    sleep 0.5
  done
  return 1
}

# Opens the tray menu at the icon $QB_ICON and points at its fifth item, Blocked pop-ups (found
# by its row, in any language); the screenshot $1 shows the list. Prints the list's OCR words.
qb_show_blocked_list() {
  local menu="$QB_WORK/menu.png" box x y w h row
  box=$(qb_open_menu "$QB_ICON" "$menu")
  [ -n "$box" ] || return 1
  read -r x y w h <<<"$box"
  row=$(qb_ocr_words "$menu" "$box" | awk '{print $2}' | sort -n |
        awk 'NR == 1 || $1 - last > 6 { n++ } { last = $1 } n == 5 { print; exit }')
  [ -n "$row" ] || return 1
  xdotool mousemove $((x + w / 2)) "$row"
  sleep 1.5
  qb_screenshot "$1"
  box=$(qb_changed_box "$menu" "$1")
  [ -n "$box" ] || return 1
  qb_ocr_words "$1" "$box"
}

# The bounding box "X Y W H" (screen coordinates) of what differs between two screenshots,
# optionally within a region "WxH+X+Y"; nothing when they are the same there. Fails (2) when
# they cannot be compared.
qb_changed_box() {
  local crop=() box dx=0 dy=0 x y w h
  if [ -n "${3:-}" ]; then
    crop=(-crop "$3" +repage)
    dx=$(cut -d+ -f2 <<<"$3")
    dy=$(cut -d+ -f3 <<<"$3")
  fi
  box=$(convert "$1" "$2" -compose difference -composite "${crop[@]}" -threshold 8% -trim \
        -format '%X %Y %w %h' info: 2>/dev/null) || return 2
  box=$(tr -d '+' <<<"$box")
  [ -n "$box" ] && [ "${box#* * }" != "1 1" ] || return 0
  read -r x y w h <<<"$box"
  echo "$((x + dx)) $((y + dy)) $w $h"
}

# True when two screenshots could be compared and are the same (within a region, as above).
qb_unchanged() {
  local box
  box=$(qb_changed_box "$@") && [ -z "$box" ]
}

# The notification area: the right end of the taskbar.
QB_TRAY_AREA=300x20+724+748

# Starts the virtual desktop with the program $1 on it (default notepad; "" for none) and waits
# for it, so that screenshots taken before Quellbox starts show the empty notification area, and
# the desktop stays after Quellbox has ended.
qb_desktop() {
  (setsid "$QB_WINE" explorer /desktop=$QB_DESKTOP ${1-notepad} >/dev/null 2>&1 &)
  local i shot="$QB_WORK/desktop-wait.png" desk bar
  for ((i = 0; i < 80; i++)); do
    qb_screenshot "$shot"
    # Up when the desktop is painted and the taskbar along the bottom is there.
    read -r desk bar <<<"$(convert "$shot" -format '%[fx:int(255*p{512,384}.b)] %[fx:int(255*p{700,758}.g)]' info: 2>/dev/null)"
    if [ "${desk:-0}" -gt 60 ] && [ "${bar:-0}" -gt 200 ]; then
      sleep 1
      return 0
    fi
    sleep 0.25
  done
  return 1
}

# The tray icon's centre "X Y": where the taskbar strip changed since the screenshot $1.
qb_tray_icon() {
  local i shot="$QB_WORK/tray-wait.png" box
  for ((i = 0; i < 80; i++)); do
    qb_screenshot "$shot"
    box=$(qb_changed_box "$1" "$shot" "$QB_TRAY_AREA")
    if [ -n "$box" ]; then
      read -r x y w h <<<"$box"
      echo "$((x + w / 2)) $((y + h / 2))"
      return 0
    fi
    sleep 0.25
  done
  return 1
}

# Right-clicks the icon at "X Y", moves the mouse off the icon so that its tip goes, and saves
# the screen to $2; prints the menu's box "X Y W H".
qb_open_menu() {
  local x y before="$QB_WORK/menu-before.png"
  read -r x y <<<"$1"
  xdotool mousemove 400 300
  sleep 0.5
  qb_screenshot "$before"
  xdotool mousemove "$x" "$y" click 3
  sleep 0.5
  xdotool mousemove 300 200
  sleep 1.5
  qb_screenshot "$2"
  # The menu opens by the icon, in the bottom right quarter of the screen, above the taskbar
  # (whose buttons change as the menu takes the foreground).
  qb_changed_box "$before" "$2" 512x364+512+384
}

# OCR of a screen region "X Y W H" of $1, scaled three times; one word per line as
# "CENTRE_X CENTRE_Y WORD" in screen coordinates.
qb_ocr_words() {
  local x y w h scaled="$QB_WORK/ocr.png"
  read -r x y w h <<<"$2"
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -colorspace Gray -scale 300% "$scaled"
  # Sparse text: dialogs are rows of short captions rather than paragraphs.
  tesseract "$scaled" - --psm 11 tsv 2>/dev/null |
    awk -F'\t' -v x="$x" -v y="$y" 'NR > 1 && $12 ~ /[[:alnum:]]/ {
      printf "%d %d %s\n", x + ($7 + $9 / 2) / 3, y + ($8 + $10 / 2) / 3, $12 }'
}

# Clicks the first OCR word that starts with $2 in the words $1 (from qb_ocr_words); a prefix,
# because a focus rectangle can glue a stray letter to a caption.
qb_click_word() {
  local at
  at=$(awk -v word="$2" 'index($3, word) == 1 { print $1, $2; exit }' <<<"$1")
  [ -n "$at" ] || return 1
  xdotool mousemove ${at% *} ${at#* } click 1
}
