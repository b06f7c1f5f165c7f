#!/usr/bin/env bash
# Checks the Linux build as a distribution would take it:
#  - every compile command carries the hardening flags and optimisation
#    (_FORTIFY_SOURCE does nothing without it);
#  - lintian on the .deb that cpack makes: any error, warning or pedantic tag
#    fails, overrides are ignored, information tags are listed;
#  - hardening-check on every program in that .deb: any "no" fails, but
#    control-flow integrity's, which no program linked against Debian 12's
#    start files can have (see docs/packaging.md).
#
#   bash scripts/package-checks.sh [BUILD_DIR]   (default: build, as scripts/test.sh makes it)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"

bash scripts/install-deps.sh lintian devscripts dpkg-dev man-db scdoc gzip python3 cmake

echo "== hardening flags in every compile command"
cmake -S . -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build "$build" -j2 >/dev/null
python3 - "$build/compile_commands.json" <<'EOF'
import json, re, sys
wanted = ["-D_FORTIFY_SOURCE=2", "-fstack-protector-strong", "-fstack-clash-protection",
          "-fcf-protection"]
commands = json.load(open(sys.argv[1]))
bare = [(c["file"], [flag for flag in wanted if flag not in c["command"].split()])
        for c in commands if not re.search(r"(^| )-O[23s]( |$)", c["command"])
        or any(flag not in c["command"].split() for flag in wanted)]
for file, missing in bare:
    print(f"{file}: lacks {' '.join(missing) or '-O2 or higher'}")
print(f"{len(commands) - len(bare)} of {len(commands)} compile commands carry "
      f"{' '.join(wanted)} and -O2 or higher")
sys.exit(1 if bare else 0)
EOF

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/*.deb)

echo "== lintian $(basename "$deb")"
status=0
report=$(lintian --pedantic -I -E --no-override --fail-on error,warning,pedantic "$deb" 2>&1) ||
  status=$?
# Root gets a notice that says nothing about the package.
grep -v '^running with root privileges' <<<"$report" || echo "(no tags)"
if [ "$status" -ne 0 ]; then
  echo "lintian found errors, warnings or pedantic tags (status $status)" >&2
  exit 1
fi

echo "== hardening-check"
dpkg-deb -x "$deb" "$out/root"
hardening-check --nocfprotection "$out"/root/usr/bin/*
