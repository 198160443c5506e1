#!/usr/bin/env bash
# Checks a built Quellbox.exe: no DLL beyond Windows' own, a version resource, a manifest. With
# --xp-sp2 (the 32-bit release) also that it loads on Windows XP SP2: every imported function
# is one that XP SP2 has (tests/xp-sp2-imports.txt), none is imported by ordinal, and the PE
# header asks for no Windows newer than 5.1.
# Usage: tests/check_exe.sh [--xp-sp2] [--no-resources] <objdump> <exe>
set -u
here=$(cd "$(dirname "$0")" && pwd)
xp=0 resources=1
while [ $# -gt 2 ]; do
  case "$1" in
    --xp-sp2) xp=1 ;;
    --no-resources) resources=0 ;;
    *) echo "unknown option $1"; exit 2 ;;
  esac
  shift
done
objdump="$1" exe="$2" ok=0
headers=$("$objdump" -p "$exe") || { echo "$exe cannot be read"; exit 1; }
dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
for dll in $dlls; do
  case "$dll" in
    advapi32.dll|comctl32.dll|comdlg32.dll|gdi32.dll|kernel32.dll|msvcrt.dll|ole32.dll|\
    oleaut32.dll|shell32.dll|user32.dll|winmm.dll|uuid.dll|shlwapi.dll|version.dll) ;;
    *) echo "$exe imports $dll, which Windows does not ship"; ok=1 ;;
  esac
done
if [ $resources -eq 1 ]; then
  version=$(grep -E '^project\(Quellbox VERSION' "$here/../CMakeLists.txt" | sed -E 's/.*VERSION ([0-9.]+).*/\1/')
  strings -el "$exe" | grep -qx "$version" || { echo "$exe has no version resource $version"; ok=1; }
  grep -q 'Microsoft.Windows.Common-Controls' "$exe" || { echo "$exe has no manifest"; ok=1; }
fi
if [ $xp -eq 1 ]; then
  # "dll function" for every import; an import by ordinal shows as "dll #ordinal".
  imports=$(awk '
    /^\tDLL Name: / { dll = tolower($3); next }
    /^$/ { dll = "" }
    dll != "" && /^\t[0-9a-f]+\t/ {
      if (NF >= 3) print dll, $3; else print dll, "#" $2
    }' <<<"$headers" | sort -u)
  allowed=$(grep -v '^#' "$here/xp-sp2-imports.txt" | awk 'NF == 2 { print tolower($1), $2 }' | sort -u)
  missing=$(comm -23 <(echo "$imports") <(echo "$allowed"))
  if [ -n "$missing" ]; then
    echo "$exe imports functions not known to exist on Windows XP SP2 (tests/xp-sp2-imports.txt):"
    sed 's/^/  /' <<<"$missing"
    ok=1
  fi
  for field in OSystemVersion SubsystemVersion; do
    major=$(sed -n "s/^Major$field\s\+//p" <<<"$headers")
    minor=$(sed -n "s/^Minor$field\s\+//p" <<<"$headers")
    if [ -z "$major" ] || [ "$((major * 100 + minor))" -gt 501 ]; then
      echo "$exe asks for Windows $major.$minor ($field); Windows XP is 5.1"
      ok=1
    fi
  done
fi
[ $ok -eq 0 ] && echo "$exe: static, version resource and manifest$([ $xp -eq 1 ] && echo ', loads on Windows XP SP2')"
exit $ok
