#!/usr/bin/env bash
# Builds the static Linux programs here and checks them: every program the
# project installs, for x86_64 and aarch64, with Zig's musl C library and
# libc++ and every library they use linked in, so that they start on any
# distribution: no program interpreter, no shared library. cpack packs each
# architecture as build-static/packages/vernatto-VERSION-linux-ARCH.tar.gz
# and vernatto-VERSION-1.ARCH.rpm.
#
# Then the checks: readelf shows no interpreter and no NEEDED entry; the
# end-to-end cases and the scanner's tests pass with the x86_64 programs run
# here and the aarch64 ones under qemu-aarch64-static, and the scanner
# writes, byte for byte, what the regular build (build/, or
# VERNATTO_DYNAMIC_BUILD) writes for Debian's LV2 and VST2 plug-ins; what
# each package holds (tests/package_test.py), rpmlint with
# contrib/rpm/rpmlint.toml, and that the .rpm requires nothing outside rpm.
#
# Installs what it needs, as scripts/test.sh does: Zig (scripts/zig.sh),
# llvm-14, and each library's Debian source package. Reuses what is there:
# Zig's libc++ for each target in build-static/zig-cache (or
# ZIG_GLOBAL_CACHE_DIR), and each library built into an architecture's
# prefix, until its source, its recipe or the toolchain changes.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
out=$PWD/build-static
architectures=(x86_64 aarch64)
# Every library the programs link, each after those it needs, built by
# scripts/build-libraries.sh: a library is a recipe, cmake/NAME/CMakeLists.txt,
# that builds the Debian source package NAME as a static library into the
# prefix with a pkg-config file; adding one is a recipe and a line here.
libraries=(
  libplist  # property lists, for the scanner
  lv2       # LV2's headers (see cmake/lv2)
  serd      # RDF syntax, for sord
  sord      # RDF in memory, for lilv
  lilv      # LV2 bundles, for the scanner
  zlib      # gzip and zlib streams, for the project readers
  minizip   # zip archives (from zlib's sources), for the project readers
  expat     # XML, for the project readers
)

echo "== static Linux programs (Zig, musl), for ${architectures[*]}"
bash scripts/install-deps.sh cmake make pkg-config nlohmann-json3-dev python3 llvm-14 \
  dpkg-dev scdoc lv2-dev binutils rpm rpmlint qemu-user-static
zig=$(bash scripts/zig.sh)
echo "zig $("$zig" version)"
export ZIG_GLOBAL_CACHE_DIR=${ZIG_GLOBAL_CACHE_DIR:-$out/zig-cache}
export ZIG_LOCAL_CACHE_DIR=$ZIG_GLOBAL_CACHE_DIR
dynamic=${VERNATTO_DYNAMIC_BUILD:-$PWD/build}
if [ ! -x "$dynamic/vernatto-scan" ]; then
  echo "build-linux-static.sh: no regular build in $dynamic to compare with (see scripts/test.sh)" >&2
  exit 1
fi

# What the project installs must need nothing at run time.
check_static() {
  local program
  for program in "$1"/bin/*; do
    if readelf -lW "$program" | grep -q "program interpreter" ||
        readelf -dW "$program" | grep -q "(NEEDED)"; then
      echo "$program is not static:" >&2
      readelf -lW -dW "$program" | grep -E "interpreter|NEEDED" >&2
      exit 1
    fi
  done
}

# The end-to-end cases and the scanner's tests on the installed programs,
# run by "$2" (nothing, or the emulator).
run_tests() {
  local bin=$1/bin case failed=0
  export VERNATTO_E2E_WRAPPER=$2
  # tests/e2e/cases are vernatto's, tests/e2e/NAME-cases vernatto-NAME's.
  for case in tests/e2e/*cases/*; do
    local suite=${case#tests/e2e/} program=$bin/vernatto
    suite=${suite%%/*}
    [ "$suite" = cases ] || program=$bin/vernatto-${suite%-cases}
    python3 tests/e2e/e2e.py "$program" "$case" >"$out/e2e.log" ||
      { echo "e2e $case failed:" >&2; cat "$out/e2e.log" >&2; failed=1; }
  done
  python3 tests/scanner/scan_test.py fixtures "$bin/vernatto-scan" "$bin/vernatto" || failed=1
  python3 tests/scanner/scan_test.py debian "$bin/vernatto-scan" || failed=1
  # Debian's real plug-ins, written byte for byte as the regular build writes them.
  local folders=(--no-default-paths --path /usr/lib/lv2 --path /usr/lib/vst)
  "$dynamic/vernatto-scan" "${folders[@]}" >"$out/dynamic-scan.json" 2>/dev/null
  $2 "$bin/vernatto-scan" "${folders[@]}" >"$out/static-scan.json" 2>/dev/null
  cmp "$out/dynamic-scan.json" "$out/static-scan.json" || failed=1
  unset VERNATTO_E2E_WRAPPER
  [ "$failed" = 0 ] || exit 1
}

# The packages cpack made from one architecture's build.
check_packages() {
  local build=$1 name=$2 rpm
  python3 tests/package_test.py "$build" "$name" --out "$out/packages"
  rpm=$(ls "$out"/packages/vernatto-*."$3".rpm)
  rpmlint -c contrib/rpm/rpmlint.toml "$rpm"
  if rpm -qpR "$rpm" | grep -v '^rpmlib('; then
    echo "$rpm requires more than rpm itself (above)" >&2
    exit 1
  fi
}

rm -rf "$out/packages"
for arch in "${architectures[@]}"; do
  dir=$out/$arch
  toolchain=(--toolchain "$PWD/cmake/zig-linux-static.cmake" -DCMAKE_BUILD_TYPE=Release
             -DVERNATTO_ZIG="$zig" -DVERNATTO_LINUX_ARCH="$arch" -DVERNATTO_STATIC_PREFIX="$dir/prefix")
  echo "== static $arch: libraries (at $((SECONDS - start)) s)"
  bash scripts/build-libraries.sh "$dir/libraries" "$dir/prefix" "${libraries[@]}" -- \
    "${toolchain[@]}"
  echo "== static $arch: programs (at $((SECONDS - start)) s)"
  # The tests are not built: the programs are tested as installed, below.
  cmake -S . -B "$dir/build" "${toolchain[@]}" -DVERNATTO_BUILD_TESTS=OFF -DVERNATTO_WERROR=ON \
    -DVERNATTO_MANUALS=ON >/dev/null
  cmake --build "$dir/build" -j"$(nproc)"
  rm -rf "$dir/install"
  cmake --install "$dir/build" --prefix "$dir/install" --strip >/dev/null
  check_static "$dir/install"
  echo "== static $arch: tests (at $((SECONDS - start)) s)"
  runner=""
  [ "$arch" = "$(uname -m)" ] || runner=qemu-$arch-static
  run_tests "$dir/install" "$runner"
  version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$dir/build/CPackConfig.cmake")
  check_packages "$dir/build" "vernatto-$version-linux-$arch" "$arch"
done
ls -l "$out/packages"/*.tar.gz "$out/packages"/*.rpm
echo "static Linux build and checks: $((SECONDS - start)) s"
