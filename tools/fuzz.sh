#!/usr/bin/env bash
# Runs every fuzz target in BUILD_DIR for SECONDS each on its seed corpus (fuzz/corpus/NAME), one
# line per target. A crash, a sanitizer report, a leak, an allocation over 64 MiB or an input
# that takes over 10 s fails the run, and so does a build directory without any fuzz target (a
# run that checks nothing must not pass). The failing target's log ends the output, with the
# input that did it kept beside the log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-fuzz}
seconds=${2:-20}
case "$build" in /*) ;; *) build="$root/$build" ;; esac

# CMake puts the targets of fuzz/CMakeLists.txt under BUILD_DIR/fuzz.
shopt -s nullglob
targets=("$build"/fuzz/fuzz_* "$build"/fuzz_*)
shopt -u nullglob
found=0
status=0
for exe in "${targets[@]}"; do
    [ -f "$exe" ] && [ -x "$exe" ] || continue
    found=$((found + 1))
    name=$(basename "$exe")
    name=${name#fuzz_}
    seeds="$root/fuzz/corpus/$name"
    work=$(mktemp -d)
    mkdir "$work/corpus"
    if [ -d "$seeds" ]; then cp -r "$seeds"/. "$work/corpus"/; fi
    if "$exe" -max_total_time="$seconds" -timeout=10 -malloc_limit_mb=64 -rss_limit_mb=1024 \
        -max_len=131072 -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1; then
        # "#123456 DONE cov: 612 ft: 2071 corp: 301/41Kb ... exec/s: 686 rss: 518Mb"
        summary=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/log" | tail -1 |
            sed -E 's/^#([0-9]+)[[:space:]]+DONE.* cov: ([0-9]+).* corp: ([0-9]+)\/.* exec\/s: ([0-9]+).*/\1 runs, \4\/s, coverage \2, corpus \3/' || true)
        echo "fuzz $name: passed in ${seconds}s (${summary:-no summary})"
        rm -rf "$work"
    else
        tail -60 "$work/log"
        echo "fuzz $name: FAILED (log and input in $work)"
        status=1
    fi
done
if [ "$found" -eq 0 ]; then
    echo "fuzz: no fuzz targets in $build (configure with -DTINKLA_FUZZ=ON and build first)"
    exit 1
fi
if [ $status -eq 0 ]; then echo "fuzz: all $found targets passed"; fi
exit $status
