#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit and widget suites, then a short
# bounded run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
export QT_QPA_PLATFORM=offscreen
# Tests never touch the user's own settings or doorbell memory.
export XDG_CONFIG_HOME="${XDG_CONFIG_HOME:-$(mktemp -d)}"
export XDG_DATA_HOME="${XDG_DATA_HOME:-$(mktemp -d)}"
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300

# Fuzzing needs clang; each target runs for a bounded time on its seed corpus.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTINKLA_FUZZ=ON -DTINKLA_GUI=OFF -DTINKLA_TESTS=OFF -DTINKLA_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs"
bash tools/fuzz.sh build-fuzz "${FUZZ_SECONDS:-20}"
