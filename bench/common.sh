# What the benchmark scripts share; sourced after they set $root and $build.

# Builds the benchmark configuration of the project in $build, just the
# targets named.
build_targets() {
  if [ ! -x /usr/bin/time ]; then
    echo "GNU time is missing: apt-get install time" >&2
    exit 2
  fi
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVERNATTO_BUILD_TESTS=OFF \
    -DVERNATTO_BUILD_BENCHMARKS=ON >/dev/null
  cmake --build "$build" -j2 --target "$@" >/dev/null
}

median() {  # column $1 of file $2
  sort -n -k"$1","$1" "$2" | awk -v c="$1" '{v[NR]=$c} END {print v[int((NR+1)/2)]}'
}
