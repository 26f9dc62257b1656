#!/usr/bin/env bash
# Line coverage of src/ by the unit and widget tests: builds build-cov/ with gcov instrumentation,
# runs ctest there, and prints one line per folder of src/ and the total, as percentages of the
# lines gcc counts as executable. Needs lcov (installed here when missing).
#
#   bash tools/coverage.sh            # build, test, report
#   bash tools/coverage.sh --report   # report again from the last run's counts
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dir=build-cov
if ! command -v lcov >/dev/null; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get install -y -qq --no-install-recommends lcov >/dev/null
fi
if [ "${1:-}" != "--report" ]; then
    bash tools/deps.sh
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTINKLA_BENCH=OFF \
        -DCMAKE_CXX_FLAGS="--coverage -O0" -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
    cmake --build "$dir" -j"$(nproc)" >/dev/null
    find "$dir" -name '*.gcda' -delete
    export QT_QPA_PLATFORM=offscreen
    export XDG_CONFIG_HOME=$(mktemp -d) XDG_DATA_HOME=$(mktemp -d) XDG_RUNTIME_DIR=$(mktemp -d)
    chmod 700 "$XDG_RUNTIME_DIR"
    ctest --test-dir "$dir" -j"$(nproc)" --timeout 600 >"$dir/ctest.log" 2>&1 ||
        echo "(some tests failed: $dir/ctest.log; the figures count what ran)"
fi
lcov --quiet --capture --directory "$dir" --output-file "$dir/all.info" 2>/dev/null
lcov --quiet --extract "$dir/all.info" "$root/src/*" --output-file "$dir/src.info" 2>/dev/null
# Per folder: lines hit and lines found, from the SF/LH/LF records of each source file.
awk -v root="$root/src/" '
    /^SF:/ { f = substr($0, 4); sub(root, "", f); split(f, p, "/"); folder = p[1] }
    /^LF:/ { found[folder] += substr($0, 4) }
    /^LH:/ { hit[folder] += substr($0, 4) }
    END { for (d in found) print d, hit[d], found[d] }' "$dir/src.info" |
    sort | awk '
    { printf "%-10s %6.1f %%  (%d of %d lines)\n", $1, 100 * $2 / $3, $2, $3; h += $2; f += $3 }
    END { printf "%-10s %6.1f %%  (%d of %d lines)\n", "total", 100 * h / f, h, f }'
