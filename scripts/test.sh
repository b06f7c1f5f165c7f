#!/usr/bin/env bash
# Builds the program and runs every test: unit tests and end-to-end runs, of
# the native program and then of the Windows program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh g++ cmake make nlohmann-json3-dev libgtest-dev python3

echo "== native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVERNATTO_BUILD_TESTS=ON -DVERNATTO_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"

echo "== Windows build (MinGW-w64) and tests under Wine"
# googletest: the sources, as the tests' copy is compiled with MinGW.
bash scripts/install-deps.sh g++-mingw-w64-x86-64 wine64 googletest
cmake -S . -B build-windows --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DVERNATTO_BUILD_TESTS=ON -DVERNATTO_WERROR=ON >/dev/null
cmake --build build-windows -j"$(nproc)"
ctest --test-dir build-windows --output-on-failure -j"$(nproc)"
