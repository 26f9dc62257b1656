#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor (on the simulated doorbell by default).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINKLA_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"
if [ -x build/tinkla ]; then
    exec build/tinkla "$@"
fi
exec build/tinkla-cli --help
