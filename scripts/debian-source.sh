#!/usr/bin/env bash
# Unpacks the Debian source package PACKAGE (bookworm's) into DEST, once:
# a DEST that already holds an unpacked tree is kept. Adds a deb-src entry
# for bookworm when apt knows none. Prints the path of the unpacked tree.
# Libraries that a target has no copy of (macOS, the static Linux programs,
# Windows) are built from these, never from a copy kept in this repository.
#
#   bash scripts/debian-source.sh PACKAGE DEST
set -euo pipefail
package=$1 dest=$2
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

# (find fails when DEST does not exist yet, which is no error here)
tree=$(find "$dest" -mindepth 1 -maxdepth 1 -type d -name "$package-*" 2>/dev/null | head -n 1 ||
  true)
if [ -z "$tree" ]; then
  if ! apt-get source --print-uris -qq "$package/bookworm" >/dev/null 2>&1; then
    printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" "Suites: bookworm" \
      "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
      "${as_root[@]}" tee /etc/apt/sources.list.d/vernatto-bookworm-src.sources >/dev/null
    "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=900 update -qq
  fi
  rm -rf "$dest"
  mkdir -p "$dest"
  (cd "$dest" && apt-get source -qq "$package/bookworm" >&2)
  tree=$(find "$dest" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n 1)
fi
[ -n "$tree" ] || { echo "debian-source.sh: no $package source in $dest" >&2; exit 1; }
echo "$tree"
