#!/usr/bin/env bash
# Runs every end-to-end case with the program under valgrind's memcheck: any
# memory error or definite leak fails the case, with valgrind's report shown
# as the program's unexpected standard error.
#
#   bash scripts/valgrind.sh [BUILD_DIR]    (default: build, as scripts/test.sh makes it)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"

bash scripts/install-deps.sh valgrind g++ cmake make nlohmann-json3-dev pkg-config \
  libplist-dev liblilv-dev libexpat1-dev zlib1g-dev libminizip-dev libgtest-dev python3

echo "== end-to-end cases under valgrind"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVERNATTO_BUILD_TESTS=ON \
    -DVERNATTO_WERROR=ON >/dev/null
fi
cmake --build "$build" -j2
export VERNATTO_E2E_WRAPPER="valgrind -q --error-exitcode=97 --leak-check=full \
--show-leak-kinds=definite --errors-for-leak-kinds=definite"
# The behaviour tests time the program, and the browser test runs a browser;
# the cases are where the program's own work happens.
ctest --test-dir "$build" --output-on-failure -j2 -R '^e2e\.' -E '^e2e\.(behaviour|browser)'
