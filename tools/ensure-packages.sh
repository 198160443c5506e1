#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are not installed yet.
set -u
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=
[ "$(id -u)" -ne 0 ] && sudo=sudo
# A mirror in sync can make update report an index error; the install below still works.
$sudo apt-get update || true
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
