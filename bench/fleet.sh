#!/usr/bin/env bash
# Fleet benchmark: generates a folder of inventories as the scanner writes
# them (by default 300 machines of about 3,000 plug-ins: shared plug-ins, some
# missing on some machines, some versions and times different, duplicates,
# case-only twins, two files cut short and a package.json that is no
# inventory), then times, in alternating runs,
#   vernatto-fleet --json FILE --html FILE FOLDER
# and the floor: the same files read with the same reader, every inventory
# kept in memory, nothing else. Prints median wall time and peak memory of
# each, their ratios, and the size of the page and the JSON. Every run must
# exit with status 2 (the broken files) and name exactly those files.
#
#   bench/fleet.sh                      300 machines x 3,000 plug-ins, 5 runs
#   bench/fleet.sh --smoke              20 x 300, one run, outputs checked, not timed
#   bench/fleet.sh --machines 100 --plugins 3000 --runs 3
#   bench/fleet.sh --also OTHER         also time another build of vernatto-fleet
#                                       (the static one, say) in the same runs
#
# Needs GNU time (Debian package "time") and python3. Builds into build-bench/
# unless VERNATTO_BENCH_BUILD names another folder; data goes to its data/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${VERNATTO_BENCH_BUILD:-$root/build-bench}
machines=300
plugins=3000
runs=5
smoke=false
also=""
while [ $# -gt 0 ]; do
  case "$1" in
    --smoke) machines=20; plugins=300; runs=1; smoke=true ;;
    --machines) machines="$2"; shift ;;
    --plugins) plugins="$2"; shift ;;
    --runs) runs="$2"; shift ;;
    --also) also=$(realpath "$2"); shift ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
  shift
done

source "$root/bench/common.sh"
build_targets vernatto-fleet vernatto_generate_inventories \
  vernatto_fleet_floor

data=$build/data/fleet-${machines}x$plugins
rooms=$data/rooms
out=$data/out
if [ ! -s "$rooms/package.json" ]; then
  rm -rf "$rooms"
  "$build/bench/vernatto_generate_inventories" --fleet "$machines" "$plugins" "$rooms"
fi
rm -rf "$out"
mkdir -p "$out"

# The files the generator breaks, as vernatto-fleet must name them.
third=$((machines / 3 + 1))
two_thirds=$((2 * machines / 3 + 1))
width=${#machines}
expected_stderr=$(printf 'vernatto-fleet: not an inventory "%s/package.json"\n' "$rooms"
  printf 'vernatto-fleet: failed reading "%s/room-%0*d.json"\n' \
    "$rooms" "$width" "$third" "$rooms" "$width" "$two_thirds")

# Runs "$@" with stdin from /dev/null; appends "seconds kilobytes" to the
# file $1 and leaves the exit status in $status.
measure() {
  local log=$1
  shift
  status=0
  /usr/bin/time --quiet -a -o "$log" -f "%e %M" "$@" </dev/null || status=$?
}

run_fleet() {  # [PROGRAM [TIMES]]: another build, timed into a file of its own
  measure "$out/${2:-fleet}.times" "${1:-$build/vernatto-fleet}" --json "$out/fleet.json" \
    --html "$out/fleet.html" "$rooms" >"$out/console.txt" 2>"$out/stderr.txt"
  # What follows a file's name (where a cut-off file broke) is not compared.
  if [ "$status" != 2 ] ||
      [ "$(sed 's/^\([^"]*"[^"]*"\).*/\1/' "$out/stderr.txt")" != "$expected_stderr" ]; then
    echo "vernatto-fleet exited with $status (2 expected), saying:" >&2
    cat "$out/stderr.txt" >&2
    exit 1
  fi
}

run_floor() {
  measure "$out/floor.times" "$build/bench/vernatto_fleet_floor" "$rooms" >"$out/floor.txt"
  if [ "$status" != 0 ]; then
    echo "the floor exited with $status" >&2
    exit 1
  fi
}

# The outputs must be whole and agree with what was generated.
check_outputs() {
  python3 - "$out/fleet.json" "$out/fleet.html" "$machines" <<'EOF'
import json, sys
fleet = json.load(open(sys.argv[1], encoding="utf-8"))
machines = int(sys.argv[3])
assert len(fleet["machines"]) == machines, "machines: %d" % len(fleet["machines"])
assert sum(not m["complete"] for m in fleet["machines"]) == 2, "incomplete machines"
summary = fleet["summary"]
assert summary["plugins"] == len(fleet["plugins"]), "plug-in count"
for status in ("missing", "version", "time", "alike"):
    assert summary[status] > 0, "no plug-in is " + status
    assert summary[status] == sum(p["status"] == status for p in fleet["plugins"])
assert any(p["duplicate"] for p in fleet["plugins"]), "no duplicate"
assert all(len(p["installs"]) == machines for p in fleet["plugins"]), "installs"
page = open(sys.argv[2], encoding="utf-8").read()
assert page.endswith("</html>\n") and page.count("<tr class=") == summary["plugins"]
EOF
}

if $smoke; then
  run_fleet
  check_outputs
  echo "fleet smoke run: $machines machines, outputs whole and consistent"
  exit 0
fi

# One untimed run of each, so that every timed run finds the files cached.
run_floor
run_fleet
check_outputs
rm -f "$out"/*.times
for ((run = 0; run < runs; run++)); do
  run_fleet
  run_floor
  if [ -n "$also" ]; then
    run_fleet "$also" also
    check_outputs
  fi
done

ft=$(median 1 "$out/fleet.times"); fm=$(median 2 "$out/fleet.times")
bt=$(median 1 "$out/floor.times"); bm=$(median 2 "$out/floor.times")
echo "$machines machines x about $plugins plug-ins ($(cat "$out/floor.txt"), $(du -sm "$rooms" | cut -f1) MB)"
echo "Medians of $runs alternating runs; the outputs checked after the first."
echo "| | fleet | floor | ratio |"
echo "|:---|---:|---:|---:|"
awk -v ft="$ft" -v bt="$bt" -v fm="$fm" -v bm="$bm" 'BEGIN {
  printf "| wall time, s | %.2f | %.2f | %.2f |\n", ft, bt, ft / bt
  printf "| peak memory, MB | %.0f | %.0f | %.2f |\n", fm / 1024, bm / 1024, fm / bm }'
if [ -n "$also" ]; then
  at=$(median 1 "$out/also.times"); am=$(median 2 "$out/also.times")
  awk -v at="$at" -v ft="$ft" -v am="$am" -v fm="$fm" -v p="$also" 'BEGIN {
    printf "%s: %.2f s (%.2f times the fleet), %.0f MB (%.2f times)\n", p, at, at / ft, am / 1024, am / fm }'
fi
awk -v j="$(stat -c %s "$out/fleet.json")" -v h="$(stat -c %s "$out/fleet.html")" 'BEGIN {
  printf "JSON %.1f MB, page %.1f MB\n", j / 1048576, h / 1048576 }'
