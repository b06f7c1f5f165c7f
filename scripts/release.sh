#!/usr/bin/env bash
# Makes every release file into dist/, made afresh, with nothing else in it:
#
#   vernatto_VERSION_amd64.deb                 Debian and Ubuntu (build/)
#   vernatto-VERSION-1.x86_64.rpm, .aarch64    Fedora and openSUSE (static)
#   vernatto-VERSION-linux-x86_64.tar.gz       any Linux, static programs
#   vernatto-VERSION-linux-aarch64.tar.gz      any ARM Linux, static programs
#   vernatto-VERSION-win64.zip                 Windows, by hand (build-windows/)
#   vernatto-VERSION-win64.msi                 Windows installer
#   vernatto-VERSION-macos.tar.gz              macOS, universal programs
#   winget/Vernatto.Vernatto*.yaml             winget manifests
#   vernatto.json                              Scoop manifest
#   SHA256SUMS                                 every file above, as sha256sum writes it
#
# Installs what it needs, as scripts/test.sh does, and reuses the build
# folders that are there (configuring a missing one without its tests). The
# manifests' download addresses start with VERNATTO_RELEASE_URL (see
# scripts/manifests.py).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
dist=$PWD/dist

bash scripts/install-deps.sh g++ cmake make pkg-config nlohmann-json3-dev libgtest-dev \
  libplist-dev liblilv-dev libexpat1-dev zlib1g-dev libminizip-dev scdoc groff-base dpkg-dev \
  g++-mingw-w64-x86-64 libz-mingw-w64-dev googletest wixl msitools python3

# A build folder: configured (without tests) only when it is not there yet,
# then brought up to date.
build() {
  local dir=$1
  shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" "$@" -DCMAKE_BUILD_TYPE=Release -DVERNATTO_BUILD_TESTS=OFF \
      -DVERNATTO_WERROR=ON -DVERNATTO_MANUALS=ON >/dev/null
  fi
  cmake --build "$dir" -j"$(nproc)" >/dev/null
  rm -rf "$dir/packages"
  cpack --config "$dir/CPackConfig.cmake" -B "$dir/packages" >/dev/null
}

echo "== release: the .deb (at $((SECONDS - start)) s)"
build build
echo "== release: the Windows zip and installer (at $((SECONDS - start)) s)"
# expat and minizip from Debian's source packages, as scripts/test.sh builds them.
windows_libraries=$PWD/build-windows/libraries
bash scripts/build-libraries.sh "$windows_libraries" "$windows_libraries/prefix" expat minizip -- \
  --toolchain "$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
build build-windows --toolchain cmake/mingw-w64.cmake \
  -DVERNATTO_WINDOWS_PREFIX="$windows_libraries/prefix"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/CPackConfig.cmake)
rm -rf build-windows/msi-prefix
cmake --install build-windows --prefix build-windows/msi-prefix --strip >/dev/null
python3 scripts/windows-installer.py build-windows/msi-prefix "$version" \
  "build-windows/packages/vernatto-$version-win64.msi"
echo "== release: the macOS archive (at $((SECONDS - start)) s)"
bash scripts/build-macos.sh
echo "== release: the static Linux archives and .rpm (at $((SECONDS - start)) s)"
bash scripts/build-linux-static.sh

rm -rf "$dist"
mkdir -p "$dist"
cp build/packages/*.deb build-windows/packages/*.zip build-windows/packages/*.msi \
  "build-macos/vernatto-$version-macos.tar.gz" build-static/packages/*.tar.gz \
  build-static/packages/*.rpm "$dist/"
python3 scripts/manifests.py "$dist" "$version"
(cd "$dist" && find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort |
  xargs sha256sum >SHA256SUMS)
echo "release files in $dist ($((SECONDS - start)) s):"
(cd "$dist" && find . -type f -printf '%10s  %P\n' | LC_ALL=C sort -k2)
