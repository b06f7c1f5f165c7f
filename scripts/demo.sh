#!/usr/bin/env bash
# Builds the program and runs it on the two example inventories.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh g++ cmake make nlohmann-json3-dev pkg-config libplist-dev liblilv-dev libexpat1-dev zlib1g-dev libminizip-dev xdg-utils
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVERNATTO_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
exec ./build/vernatto examples/studio-a.json examples/studio-b.json
