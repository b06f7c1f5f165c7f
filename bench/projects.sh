#!/usr/bin/env bash
# Project benchmark: generates a library of projects in the nine hosts'
# formats (bench/generate_projects.cpp: by default 1,000 projects, about
# 1 GB of text once uncompressed), then times, in alternating runs,
#   vernatto-project --list --json FILE LIBRARY
# against the floor (bench/project_floor.cpp: the same files read, the
# compressed ones inflated with the same zlib and minizip, nothing parsed),
# and, on the XML formats alone, against the lxml reader
# (bench/project_lxml.py); then each format's folder alone against its
# floor. Prints medians of wall time and peak memory and their ratios; then
# the peak memory of one 2 GB Live set and the time of a typical 3 MB one. The listings must hold exactly the plug-ins the generator
# put in each project, or the script fails.
#
#   bench/projects.sh                     1,000 projects, 5 runs, the 2 GB and 3 MB sets
#   bench/projects.sh --smoke             20 projects, one run, outputs checked, not timed
#   bench/projects.sh --projects 200 --megabytes 200 --runs 3 --no-big
#   bench/projects.sh --rooms             also the check against 100 rooms of 3,000
#                                         plug-ins (--room ROOMS --json --html) against
#                                         listing alone plus reading the rooms
#
# Needs GNU time (Debian package "time") and Debian's python3-lxml for
# /usr/bin/python3. Builds into build-bench/ unless VERNATTO_BENCH_BUILD names
# another folder; data goes to its data/ (the full run needs about 4 GB).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${VERNATTO_BENCH_BUILD:-$root/build-bench}
projects=1000
megabytes=1000
runs=5
smoke=false
big=true
rooms=false
while [ $# -gt 0 ]; do
  case "$1" in
    --smoke) projects=20; megabytes=10; runs=1; smoke=true; big=false ;;
    --projects) projects="$2"; shift ;;
    --megabytes) megabytes="$2"; shift ;;
    --runs) runs="$2"; shift ;;
    --no-big) big=false ;;
    --rooms) rooms=true ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
  shift
done

if ! /usr/bin/python3 -c "import lxml" 2>/dev/null; then
  echo "lxml is missing: apt-get install python3-lxml" >&2
  exit 2
fi
source "$root/bench/common.sh"
targets=(vernatto-project vernatto_generate_projects vernatto_project_floor)
$rooms && targets+=(vernatto_generate_inventories vernatto_fleet_floor)
build_targets "${targets[@]}"

project=$build/vernatto-project
data=$build/data/projects-${projects}x$megabytes
library=$data/library
out=$data/out
if [ ! -s "$data/expected.tsv" ]; then
  rm -rf "$data"
  "$build/bench/vernatto_generate_projects" --projects "$projects" --megabytes "$megabytes" \
    "$data"
fi
rm -rf "$out"
mkdir -p "$out"
xml_formats=(live dawproject ardour carla lmms studio-one)
xml_folders=()
for format in "${xml_formats[@]}"; do
  [ -d "$library/$format" ] && xml_folders+=("$library/$format")
done

# Runs "$@" with stdin from /dev/null; appends "seconds kilobytes" to the
# file $1 and leaves the exit status in $status.
measure() {
  local log=$1
  shift
  status=0
  /usr/bin/time --quiet -a -o "$log" -f "%e %M" "$@" </dev/null || status=$?
}

expect_status() {  # WHAT WANTED: the last run's exit status, or fail
  if [ "$status" != "$2" ]; then
    echo "$1 exited with $status ($2 expected), saying:" >&2
    cat "$out/stderr.txt" >&2
    exit 1
  fi
}

run_list() {  # TIMES [PROJECT...]: vernatto-project --list over the library or PROJECTs
  local times=$1
  shift
  measure "$out/$times.times" "$project" --list --json "$out/$times.json" "${@:-$library}" \
    >"$out/console.txt" 2>"$out/stderr.txt"
  expect_status vernatto-project 0
}

run_floor() {  # TIMES [PROJECT...]
  local times=$1
  shift
  measure "$out/$times.times" "$build/bench/vernatto_project_floor" "${@:-$library}" \
    >"$out/$times.txt" 2>"$out/stderr.txt"
  expect_status "the floor" 0
}

run_lxml() {
  measure "$out/lxml.times" /usr/bin/python3 "$root/bench/project_lxml.py" \
    --json "$out/lxml.json" "${xml_folders[@]}" >/dev/null 2>"$out/stderr.txt"
  expect_status "the lxml reader" 0
}

check() {  # LISTING [FORMAT...]
  /usr/bin/python3 "$root/bench/project_check.py" "$data/expected.tsv" "$library" "$@"
}

# The first runs also warm the cache for the timed ones.
run_list list
check "$out/list.json"
run_lxml
check "$out/lxml.json" "${xml_formats[@]}"
run_list xml "${xml_folders[@]}"
check "$out/xml.json" "${xml_formats[@]}"
run_floor floor
if $smoke; then
  echo "project smoke run: $projects projects, the listings agree with the generator"
  exit 0
fi

rm -f "$out"/*.times
formats=()
for folder in "$library"/*/; do
  formats+=("$(basename "$folder")")
done
for ((run = 0; run < runs; run++)); do
  run_list list
  run_floor floor
  run_list xml "${xml_folders[@]}"
  run_floor xmlfloor "${xml_folders[@]}"
  run_lxml
  # Each format alone, to say where the time goes.
  for format in "${formats[@]}"; do
    run_list "list-$format" "$library/$format"
    run_floor "floor-$format" "$library/$format"
  done
done

row() {  # LABEL PROGRAM-TIMES YARDSTICK-TIMES
  local pt pm yt ym
  pt=$(median 1 "$out/$2.times"); pm=$(median 2 "$out/$2.times")
  yt=$(median 1 "$out/$3.times"); ym=$(median 2 "$out/$3.times")
  awk -v l="$1" -v pt="$pt" -v yt="$yt" -v pm="$pm" -v ym="$ym" 'BEGIN {
    printf "| %s | %.2f | %.2f | %.2f | %.0f | %.0f |\n", l, pt, yt, pt / yt, pm / 1024, ym / 1024 }'
}
echo "$projects projects: $(cat "$out/floor.txt"); $(du -sm "$library" | cut -f1) MB on disk"
echo "Medians of $runs alternating runs; the listings checked after the first."
echo "| run | program s | yardstick s | ratio | program MB | yardstick MB |"
echo "|:---|---:|---:|---:|---:|---:|"
row "all formats, against the floor" list floor
row "XML formats, against the floor" xml xmlfloor
row "XML formats, against lxml" xml lxml
for format in "${formats[@]}"; do
  row "$format alone ($(sed 's/ files.*//' "$out/floor-$format.txt") files), against the floor" \
    "list-$format" "floor-$format"
done

if $big; then
  # One 2 GB Live set: the peak memory must not grow with the project.
  huge=$data/../huge-2000.als
  [ -s "$huge" ] || "$build/bench/vernatto_generate_projects" --single live 2000 "$huge" >/dev/null
  typical=$data/../typical-3.als
  [ -s "$typical" ] || "$build/bench/vernatto_generate_projects" --single live 3 "$typical" >/dev/null
  run_list huge "$huge"
  run_floor hugefloor "$huge"
  for ((run = 0; run < 11; run++)); do
    run_list typical "$typical"
    run_floor typicalfloor "$typical"
  done
  echo "| one 2 GB .als (one run) | $(median 1 "$out/huge.times") | $(median 1 "$out/hugefloor.times") | | $(($(median 2 "$out/huge.times") / 1024)) | $(($(median 2 "$out/hugefloor.times") / 1024)) |"
  row "one 3 MB .als (11 runs)" typical typicalfloor
fi

if $rooms; then
  rooms_dir=$data/../rooms-100x3000
  if [ ! -s "$rooms_dir/room-001.json" ]; then
    rm -rf "$rooms_dir"
    "$build/bench/vernatto_generate_inventories" --rooms 100 3000 "$data/catalogue.tsv" \
      "$rooms_dir"
  fi
  for ((run = 0; run < runs; run++)); do
    measure "$out/check.times" "$project" --room "$rooms_dir" --json "$out/check.json" \
      --html "$out/check.html" "$library" >"$out/console.txt" 2>"$out/stderr.txt"
    # 1: some project lacks something somewhere, as the rooms are made to.
    expect_status "vernatto-project --room" 1
    run_list roomlist
    measure "$out/rooms.times" "$build/bench/vernatto_fleet_floor" "$rooms_dir" >/dev/null
  done
  ct=$(median 1 "$out/check.times"); cm=$(median 2 "$out/check.times")
  lt=$(median 1 "$out/roomlist.times"); rt=$(median 1 "$out/rooms.times")
  lm=$(median 2 "$out/roomlist.times"); rm=$(median 2 "$out/rooms.times")
  awk -v ct="$ct" -v lt="$lt" -v rt="$rt" -v cm="$cm" -v lm="$lm" -v rm="$rm" 'BEGIN {
    printf "| against 100 rooms x 3,000, against listing + reading the rooms | %.2f | %.2f + %.2f | %.2f | %.0f | %.0f + %.0f |\n",
      ct, lt, rt, ct / (lt + rt), cm / 1024, lm / 1024, rm / 1024 }'
  awk -v j="$(stat -c %s "$out/check.json")" -v h="$(stat -c %s "$out/check.html")" 'BEGIN {
    printf "JSON %.1f MB, page %.1f MB\n", j / 1048576, h / 1048576 }'
fi
