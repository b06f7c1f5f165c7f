#!/usr/bin/env bash
# Installs, from Debian's or Ubuntu's archive, the packages named on the
# command line that are not installed yet. Uses sudo when not run as root.
set -euo pipefail

missing=()
for package in "$@"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
# Another install running at the same time (a second build on this machine)
# is waited for rather than failed on.
lock=(-o DPkg::Lock::Timeout=900)
"${as_root[@]}" apt-get "${lock[@]}" update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get "${lock[@]}" install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
