#!/usr/bin/env bash
# Runs every fuzz target in BUILD_DIR for SECONDS each on its seed corpus (fuzz/corpus/NAME).
# A crash, a sanitizer report, a leak or an allocation over 64 MiB fails the run, and so does a
# build directory without any fuzz target (a run that checks nothing must not pass).
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
    name=$(basename "$exe"); name=${name#fuzz_}
    seeds="$root/fuzz/corpus/$name"
    work=$(mktemp -d)
    if [ -d "$seeds" ]; then cp -r "$seeds"/. "$work"/; fi
    echo "fuzz $name: ${seconds}s"
    if ! "$exe" -max_total_time="$seconds" -malloc_limit_mb=64 -rss_limit_mb=1024 \
        -max_len=4096 -artifact_prefix="$work/" "$work" >"$work/log" 2>&1; then
        tail -40 "$work/log"
        echo "fuzz $name: FAILED (artifacts in $work)"
        status=1
    else
        grep -E '^(Done|#[0-9]+ *DONE)' "$work/log" | tail -1 || true
        rm -rf "$work"
    fi
done
if [ "$found" -eq 0 ]; then
    echo "fuzz: no fuzz targets in $build (configure with -DTINKLA_FUZZ=ON and build first)"
    exit 1
fi
if [ $status -eq 0 ]; then echo "fuzz: all $found targets passed"; fi
exit $status
