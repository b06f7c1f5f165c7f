#!/usr/bin/env bash
# Builds libraries that a target has no copy of (macOS, the static Linux
# programs, Windows) from Debian's source packages, as static libraries into
# PREFIX, each after those it needs, with the toolchain of the program's own
# build (CMAKE_ARGS, given after --):
#
#   bash scripts/build-libraries.sh BUILD PREFIX NAME... -- CMAKE_ARGS...
#
# A library is a recipe, cmake/NAME/CMakeLists.txt, that builds the source
# package NAME (fetched once into build-sources/NAME by
# scripts/debian-source.sh, and shared by every build) and installs it with
# a pkg-config file; each is built in BUILD/NAME. A library is built again
# only when its source, its recipe or the toolchain changes. Prints each
# library's build time.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1 prefix=$2
shift 2
names=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  names+=("$1")
  shift
done
[ $# -gt 0 ] && shift
cmake_args=("$@")

# Where a library's sources come from: its Debian source package, but for
# LV2's architecture-independent headers, taken from Debian's lv2-dev, and
# minizip, which ships in zlib's sources.
source_of() {
  case $1 in
    lv2) echo /usr/include/lv2 ;;
    minizip) source_of zlib ;;
    *) bash scripts/debian-source.sh "$1" "$PWD/build-sources/$1" ;;
  esac
}

# What the build of a library depends on besides its source: its recipe,
# the shared recipe code, the arguments and the toolchain file they name.
toolchain_text() {
  local argument next=false
  for argument in "${cmake_args[@]}"; do
    $next && cat "$argument"
    next=false
    [ "$argument" = --toolchain ] && next=true
    case $argument in -DCMAKE_TOOLCHAIN_FILE=*) cat "${argument#*=}" ;; esac
  done
  printf '%s\n' "${cmake_args[@]}"
}

mkdir -p "$prefix"
for name in "${names[@]}"; do
  start=$SECONDS
  source=$(source_of "$name")
  stamp="$source $( (cat "cmake/$name/CMakeLists.txt" cmake/recipe.cmake; toolchain_text) |
    sha256sum | cut -c1-16)"
  if [ "$(cat "$prefix/.built-$name" 2>/dev/null)" = "$stamp" ]; then
    continue
  fi
  cmake -S "cmake/$name" -B "$build/$name" "${cmake_args[@]}" \
    -D"VERNATTO_${name^^}_SOURCE=$source" -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$build/$name" -j"$(nproc)" >/dev/null
  cmake --install "$build/$name" >/dev/null
  echo "$stamp" >"$prefix/.built-$name"
  echo "library $name: $((SECONDS - start)) s"
done
