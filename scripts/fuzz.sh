#!/usr/bin/env bash
# Fuzzes the reader, the ordering, the pairing and the section writer under
# AddressSanitizer and UndefinedBehaviorSanitizer with libFuzzer; then, for
# as long again, the scanner's metadata readers (seeds in fuzz/scan-corpus,
# findings in build-fuzz/scan-corpus, crashes for fuzz/scan-regressions).
#
#   bash scripts/fuzz.sh [SECONDS [LIBFUZZER_OPTION...]]
#
# Runs for SECONDS (default 60), starting from the seed corpus in fuzz/corpus.
# Inputs it finds go to build-fuzz/corpus, never into the repository, so a
# later run carries on from them. A crashing input is kept in
# build-fuzz/artifacts: add it to fuzz/regressions so every test run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true

bash scripts/install-deps.sh clang-14 libclang-rt-14-dev cmake make nlohmann-json3-dev \
  pkg-config libplist-dev liblilv-dev libexpat1-dev zlib1g-dev libminizip-dev

echo "== fuzzing for ${seconds} s"
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVERNATTO_BUILD_FUZZER=ON -DVERNATTO_BUILD_TESTS=OFF -DVERNATTO_WERROR=ON >/dev/null
cmake --build build-fuzz -j2 --target vernatto_fuzz vernatto_scan_fuzz
mkdir -p build-fuzz/corpus build-fuzz/scan-corpus build-fuzz/artifacts
log=build-fuzz/fuzz.log
if build-fuzz/fuzz/vernatto_fuzz -max_total_time="$seconds" -timeout=10 \
  -dict=fuzz/inventory.dict -artifact_prefix=build-fuzz/artifacts/ -print_final_stats=1 \
  "$@" build-fuzz/corpus fuzz/corpus >"$log" 2>&1; then
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log"
else
  tail -n 60 "$log"
  echo "The fuzzer failed; the input is in build-fuzz/artifacts (full log: $log)." >&2
  exit 1
fi

echo "== fuzzing the scanner's readers for ${seconds} s"
log=build-fuzz/fuzz-scan.log
if build-fuzz/fuzz/vernatto_scan_fuzz -max_total_time="$seconds" -timeout=10 \
  -artifact_prefix=build-fuzz/artifacts/scan- -print_final_stats=1 \
  "$@" build-fuzz/scan-corpus fuzz/scan-corpus >"$log" 2>&1; then
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log"
else
  tail -n 60 "$log"
  echo "The scanner's fuzzer failed; the input is in build-fuzz/artifacts (full log: $log)." >&2
  exit 1
fi
