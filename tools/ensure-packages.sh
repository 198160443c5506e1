#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are not installed yet. A package
# of another architecture (name:i386) has that architecture added first. With --optional, a
# package that cannot be installed is reported and the script still succeeds.
# Usage: tools/ensure-packages.sh [--optional] PACKAGE...
set -u
optional=0
[ "${1:-}" = --optional ] && { optional=1; shift; }
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=
[ "$(id -u)" -ne 0 ] && sudo=sudo
for p in "${missing[@]}"; do
  arch="${p#*:}"
  if [ "$arch" != "$p" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch" &&
     [ "$arch" != "$(dpkg --print-architecture)" ]; then
    $sudo dpkg --add-architecture "$arch"
  fi
done
# A mirror in sync can make update report an index error; the install below still works.
$sudo apt-get update || true
if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"; then
  [ $optional -eq 1 ] && { echo "Could not install: ${missing[*]}"; exit 0; }
  exit 1
fi
