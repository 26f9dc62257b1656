#!/usr/bin/env bash
# Runs every fuzz target in BUILD_DIR for SECONDS each on its seed corpus (fuzz/corpus/NAME).
# A crash, a sanitizer report, a leak or an allocation over 64 MiB fails the run.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-20}
status=0
for exe in "$build"/fuzz_*; do
    [ -x "$exe" ] || continue
    name=$(basename "$exe"); name=${name#fuzz_}
    seeds="fuzz/corpus/$name"
    work=$(mktemp -d)
    [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/ 2>/dev/null || true
    echo "fuzz $name: ${seconds}s"
    if ! "$exe" -max_total_time="$seconds" -malloc_limit_mb=64 -rss_limit_mb=1024 \
        -max_len=4096 -artifact_prefix="$work/" "$work" >"$work/log" 2>&1; then
        tail -40 "$work/log"
        echo "fuzz $name: FAILED (artifacts in $work)"
        status=1
    else
        grep -E '^(Done|#[0-9]+ *DONE)' "$work/log" | tail -1 || true
    fi
done
if [ $status -eq 0 ]; then echo "fuzz: all targets passed"; fi
exit $status
