#!/usr/bin/env bash
# Builds the Debian package with the distribution's hardening flags, checks it with lintian, and
# installs it with apt (which pulls in what its Depends name):
#   bash tools/package.sh [--no-install]
# The package is build-deb/tinkla_<version>_<arch>.deb. A development build makes one too, without
# the hardening flags: cmake --build build --target package.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/deps.sh
# The flags only reach a build folder when it is configured for the first time, so the package
# has a folder of its own.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTINKLA_TESTS=OFF -DTINKLA_BENCH=OFF >/dev/null
cmake --build build-deb -j"$(nproc)" --target package
deb=$(ls -t build-deb/tinkla_*.deb | head -1)
echo "== package: $deb"
lintian --info "$deb" || true
[ "${1:-}" = "--no-install" ] && exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get install -y "./$deb"
