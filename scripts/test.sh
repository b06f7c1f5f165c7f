#!/usr/bin/env bash
# Builds the program and runs every test: unit tests and end-to-end runs, of
# the native program (the report also in a headless browser) and then of the
# Windows program under Wine; then the hardening runs: the whole suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, a one-minute fuzz run and
# the end-to-end cases under valgrind, and small benchmark runs: the pair's
# output must equal that of the plain document-based reader, the fleet's
# outputs must be whole and consistent, and the project listings (the
# program's and a plain lxml reader's) must hold what the generator put in
# each project; last, the .deb and its programs as Debian checks them
# (lintian, hardening-check). In between, every release
# file (scripts/release.sh: the macOS programs, the static Linux programs for
# x86_64 and aarch64 run here and under qemu, the .rpm, the Windows
# installer, the winget and Scoop manifests) is made, checked, and the .deb
# installed by the Ansible playbook.
#
#   bash scripts/test.sh            everything (what CI runs)
#   bash scripts/test.sh --native   the format check, the native build and its tests only
set -euo pipefail
cd "$(dirname "$0")/.."
native_only=false
[ "${1:-}" = "--native" ] && native_only=true

bash scripts/install-deps.sh g++ cmake make nlohmann-json3-dev libgtest-dev python3 \
  clang-format time pkg-config libplist-dev liblilv-dev libexpat1-dev zlib1g-dev libminizip-dev
# The scanner's tests: real plug-ins nobody here wrote, the tools that say what
# they hold, and the tools that make the fixtures.
bash scripts/install-deps.sh lv2-examples dpf-plugins-vst cmt xsynth-dssi lilv-utils binutils \
  libplist-utils
# The scanner's readers: libplist, and the tools that build their test
# binaries (MinGW for DLLs, clang and lld for big-endian ELF) and a real
# Debian plug-in package to check the ELF reader against.
bash scripts/install-deps.sh pkg-config libplist-dev libplist-utils g++-mingw-w64-x86-64 \
  clang-14 lld dpf-plugins-vst
# The papers: manual pages (scdoc, and man to render them), the completions
# (driven through bash-completion, fish and zsh) and the schema's validator.
bash scripts/install-deps.sh scdoc man-db groff-base bash-completion fish zsh python3-jsonschema
# The Ansible playbooks in contrib/ansible, run on this machine (apt's module
# needs python3-apt).
bash scripts/install-deps.sh ansible-core python3-apt

echo "== format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
if ! $native_only; then
  # The browser tests skip themselves, saying why, when there is no browser;
  # the fleet page's also needs chromedriver and selenium to drive its script.
  bash scripts/install-deps.sh chromium chromium-driver python3-selenium ||
    echo "Chromium could not be installed; the browser tests will be skipped."
fi

echo "== native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVERNATTO_BUILD_TESTS=ON -DVERNATTO_WERROR=ON \
  -DVERNATTO_MANUALS=ON >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
$native_only && exit 0

echo "== Windows build (MinGW-w64) and tests under Wine"
# googletest: the sources, as the tests' copy is compiled with MinGW; wixl and
# msibuild make the installer that windows.installer installs.
# The project readers' zlib is Debian's MinGW build; expat and minizip are
# built from Debian's source packages into build-windows/libraries.
bash scripts/install-deps.sh g++-mingw-w64-x86-64 wine64 googletest wixl msitools \
  libz-mingw-w64-dev dpkg-dev
windows_libraries=$PWD/build-windows/libraries
bash scripts/build-libraries.sh "$windows_libraries" "$windows_libraries/prefix" expat minizip -- \
  --toolchain "$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
cmake -S . -B build-windows --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DVERNATTO_WINDOWS_PREFIX="$windows_libraries/prefix" \
  -DVERNATTO_BUILD_TESTS=ON -DVERNATTO_WERROR=ON -DVERNATTO_MANUALS=ON >/dev/null
cmake --build build-windows -j"$(nproc)"
ctest --test-dir build-windows --output-on-failure -j"$(nproc)"

# Every release file into dist/: the macOS programs (checked: they cannot run
# here), the static Linux programs (run here and under qemu), the .rpm, the
# Windows installer and the manifests; then what dist/ holds, and the .deb
# installed on this machine by contrib/ansible/install.yml.
bash scripts/release.sh
bash scripts/install-deps.sh python3-yaml python3-jsonschema
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/CPackConfig.cmake)
/usr/bin/python3 tests/release_test.py dist "$version"
python3 tests/scanner/scan_test.py install dist "$version"
bash scripts/sanitizers.sh
bash scripts/fuzz.sh 60
bash scripts/valgrind.sh build

echo "== benchmark smoke run (10k entries a side; output checked, not timed)"
bash bench/run.sh --smoke
echo "== fleet benchmark smoke run (20 machines; outputs checked, not timed)"
bash bench/fleet.sh --smoke
echo "== project benchmark smoke run (20 projects; listings checked, not timed)"
bash scripts/install-deps.sh python3-lxml
bash bench/projects.sh --smoke

bash scripts/package-checks.sh build
