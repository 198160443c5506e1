#!/usr/bin/env bash
# Checks a built Quellbox.exe: no DLL beyond Windows' own, a version resource, a manifest.
# Usage: tests/check_exe.sh <objdump> <Quellbox.exe>
set -u
objdump="$1" exe="$2" ok=0
dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
for dll in $dlls; do
  case "$dll" in
    advapi32.dll|comctl32.dll|comdlg32.dll|gdi32.dll|kernel32.dll|msvcrt.dll|ole32.dll|\
    oleaut32.dll|shell32.dll|user32.dll|winmm.dll|uuid.dll|shlwapi.dll|version.dll) ;;
    *) echo "$exe imports $dll, which Windows does not ship"; ok=1 ;;
  esac
done
version=$(grep -E '^project\(Quellbox VERSION' "$(dirname "$0")/../CMakeLists.txt" | sed -E 's/.*VERSION ([0-9.]+).*/\1/')
strings -el "$exe" | grep -qx "$version" || { echo "$exe has no version resource $version"; ok=1; }
grep -q 'Microsoft.Windows.Common-Controls' "$exe" || { echo "$exe has no manifest"; ok=1; }
[ $ok -eq 0 ] && echo "$exe: static, version $version, manifest"
exit $ok
