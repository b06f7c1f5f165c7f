#!/usr/bin/env bash
# Builds the program and runs every test: unit tests and end-to-end runs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh g++ cmake make nlohmann-json3-dev libgtest-dev python3

echo "== native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVERNATTO_BUILD_TESTS=ON -DVERNATTO_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
