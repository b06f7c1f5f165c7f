#!/usr/bin/env bash
# End-to-end benchmark: generates inventory pairs, each as compact files (one
# entry a line) and as pretty-printed ones (one member a line) holding the
# same entries, runs the program on them (standard input from /dev/null,
# standard output to a file) and the floor (both parses alone plus the same
# console output, one flush per line), side by side, and prints median wall
# time and peak memory of each. Every run's console output and report must
# equal those of the document-based reader.
#
#   bench/run.sh                   10k, 100k and 1M entries a side, 5 runs each
#   bench/run.sh --smoke           10k a side, one run: a quick check for CI
#   bench/run.sh --sizes "100000" --kinds pretty --runs 3
#   bench/run.sh --also OTHER      also time another build of the program
#
# Needs GNU time (Debian package "time"). Builds into build-bench/ unless
# VERNATTO_BENCH_BUILD names another folder; data goes to its data/ folder.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${VERNATTO_BENCH_BUILD:-$root/build-bench}
sizes="10000 100000 1000000"
kinds="compact pretty"
runs=5
also=""
while [ $# -gt 0 ]; do
  case "$1" in
    --smoke) sizes="10000"; runs=1 ;;
    --sizes) sizes="$2"; shift ;;
    --kinds) kinds="$2"; shift ;;
    --runs) runs="$2"; shift ;;
    --also) also=$(realpath "$2"); shift ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
  shift
done

source "$root/bench/common.sh"
build_targets vernatto vernatto_oracle \
  vernatto_generate_inventories vernatto_floor

data=$build/data
mkdir -p "$data"
# Each program writes its report beside itself, so each gets its own folder.
# A stub viewer keeps the finished reports from being opened.
for name in program oracle also stub; do mkdir -p "$data/$name"; done
cp "$build/vernatto" "$data/program/vernatto"
cp "$build/tests/oracle/vernatto_oracle" "$data/oracle/vernatto"
[ -n "$also" ] && cp "$also" "$data/also/vernatto"
printf '#!/bin/sh\nexit 0\n' >"$data/stub/xdg-open"
cp "$data/stub/xdg-open" "$data/stub/open"
chmod +x "$data/stub/xdg-open" "$data/stub/open"
export PATH="$data/stub:$PATH"

# Runs "$@" with stdin from /dev/null and stdout to $out; appends
# "seconds kilobytes" to the file $log.
measure() {
  local log=$1 out=$2
  shift 2
  /usr/bin/time -a -o "$log" -f "%e %M" "$@" </dev/null >"$out"
}

same_as_oracle() {  # console output $1 and report $2
  if ! cmp -s "$1" "$data/oracle.out" || ! cmp -s "$2" "$data/oracle/Vernatto.html"; then
    echo "output differs from the document-based reader: $1" >&2
    exit 1
  fi
}

header="| entries a side | file | program s | floor s | time ratio | program MB | floor MB |"
rule="|---:|:---|---:|---:|---:|---:|---:|"
if [ -n "$also" ]; then
  header="$header other s | other ratio | other MB |"
  rule="$rule---:|---:|---:|"
fi

# Times program, floor and the other build in alternating runs on one pair of
# files; prints the table row.
measure_pair() {
  local size=$1 kind=$2 first=$3 second=$4
  "$data/oracle/vernatto" "$first" "$second" </dev/null >"$data/oracle.out"
  rm -f "$data"/*.times
  for ((run = 0; run < runs; run++)); do
    measure "$data/program.times" "$data/program.out" "$data/program/vernatto" "$first" "$second"
    same_as_oracle "$data/program.out" "$data/program/Vernatto.html"
    measure "$data/floor.times" "$data/floor.out" "$build/bench/vernatto_floor" "$first" "$second" \
      "$data/oracle.out"
    if [ -n "$also" ]; then
      measure "$data/also.times" "$data/also.out" "$data/also/vernatto" "$first" "$second"
    fi
  done
  local pt pm ft fm at am
  pt=$(median 1 "$data/program.times"); pm=$(median 2 "$data/program.times")
  ft=$(median 1 "$data/floor.times"); fm=$(median 2 "$data/floor.times")
  awk -v n="$size" -v k="$kind" -v pt="$pt" -v ft="$ft" -v pm="$pm" -v fm="$fm" 'BEGIN {
    printf "| %d | %s | %.2f | %.2f | %.2f | %.0f | %.0f |", n, k, pt, ft, pt / ft, pm / 1024, fm / 1024 }'
  if [ -n "$also" ]; then
    at=$(median 1 "$data/also.times"); am=$(median 2 "$data/also.times")
    awk -v at="$at" -v ft="$ft" -v am="$am" 'BEGIN { printf " %.2f | %.2f | %.0f |", at, at / ft, am / 1024 }'
  fi
  echo
}

rows=""
for size in $sizes; do
  for kind in $kinds; do
    first=$data/first-$size-$kind.json
    second=$data/second-$size-$kind.json
    if [ ! -s "$second" ]; then
      layout=""
      [ "$kind" = pretty ] && layout="--pretty"
      "$build/bench/vernatto_generate_inventories" $layout "$size" "$first" "$second"
    fi
    rows="$rows$(measure_pair "$size" "$kind" "$first" "$second")"$'\n'
  done
done

echo "Medians of $runs runs; output identical to the document-based reader in every run."
echo "$header"
echo "$rule"
printf '%s' "$rows"
