#!/usr/bin/env bash
# Fuzzes under AddressSanitizer and UndefinedBehaviorSanitizer with libFuzzer,
# sharing one time budget between three targets: the inventory reader, the
# ordering, the pairing and the section writer (seeds in fuzz/corpus); the
# scanner's metadata readers (fuzz/scan-corpus); the project readers
# (fuzz/project-corpus).
#
#   bash scripts/fuzz.sh [SECONDS [LIBFUZZER_OPTION...]]
#
# Runs for 2 x SECONDS in all (default 60), a third of that for each
# target. Inputs it finds go to build-fuzz/corpus, build-fuzz/scan-corpus
# and build-fuzz/project-corpus, never into the repository, so a later run
# carries on from them. A crashing input is kept in build-fuzz/artifacts: add
# it to the target's regressions folder (fuzz/regressions,
# fuzz/scan-regressions, fuzz/project-regressions) so every test run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
# The three targets together take as long as two did before the third.
each=$(( seconds * 2 / 3 ))
(( each > 0 )) || each=1

bash scripts/install-deps.sh clang-14 libclang-rt-14-dev cmake make nlohmann-json3-dev \
  pkg-config libplist-dev liblilv-dev libexpat1-dev zlib1g-dev libminizip-dev

echo "== fuzzing the inventory reader for ${each} s"
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVERNATTO_BUILD_FUZZER=ON -DVERNATTO_BUILD_TESTS=OFF -DVERNATTO_WERROR=ON >/dev/null
cmake --build build-fuzz -j2 --target vernatto_fuzz vernatto_scan_fuzz \
  vernatto_project_fuzz
mkdir -p build-fuzz/corpus build-fuzz/scan-corpus build-fuzz/project-corpus \
  build-fuzz/artifacts
log=build-fuzz/fuzz.log
if build-fuzz/fuzz/vernatto_fuzz -max_total_time="$each" -timeout=10 \
  -dict=fuzz/inventory.dict -artifact_prefix=build-fuzz/artifacts/ -print_final_stats=1 \
  "$@" build-fuzz/corpus fuzz/corpus >"$log" 2>&1; then
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log"
else
  tail -n 60 "$log"
  echo "The fuzzer failed; the input is in build-fuzz/artifacts (full log: $log)." >&2
  exit 1
fi

echo "== fuzzing the scanner's readers for ${each} s"
log=build-fuzz/fuzz-scan.log
if build-fuzz/fuzz/vernatto_scan_fuzz -max_total_time="$each" -timeout=10 \
  -artifact_prefix=build-fuzz/artifacts/scan- -print_final_stats=1 \
  "$@" build-fuzz/scan-corpus fuzz/scan-corpus >"$log" 2>&1; then
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log"
else
  tail -n 60 "$log"
  echo "The scanner's fuzzer failed; the input is in build-fuzz/artifacts (full log: $log)." >&2
  exit 1
fi

echo "== fuzzing the project readers for ${each} s"
log=build-fuzz/fuzz-project.log
if build-fuzz/fuzz/vernatto_project_fuzz -max_total_time="$each" -timeout=10 \
  -dict=fuzz/project.dict -artifact_prefix=build-fuzz/artifacts/project- \
  -print_final_stats=1 "$@" build-fuzz/project-corpus fuzz/project-corpus >"$log" 2>&1; then
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log"
else
  tail -n 60 "$log"
  echo "The project readers' fuzzer failed; the input is in build-fuzz/artifacts (full log: $log)." >&2
  exit 1
fi
