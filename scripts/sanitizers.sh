#!/usr/bin/env bash
# Builds the program and the tests with AddressSanitizer (leak checks
# included) and UndefinedBehaviorSanitizer, any finding fatal, and runs the
# whole test suite, unit and end-to-end, on that build in build-asan.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh g++ cmake make nlohmann-json3-dev pkg-config libplist-dev \
  liblilv-dev libexpat1-dev zlib1g-dev libminizip-dev libplist-utils libgtest-dev python3

echo "== sanitizer build and tests"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERNATTO_ENABLE_SANITIZERS=ON \
  -DVERNATTO_BUILD_TESTS=ON -DVERNATTO_WERROR=ON >/dev/null
cmake --build build-asan -j2
export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
ctest --test-dir build-asan --output-on-failure -j2
