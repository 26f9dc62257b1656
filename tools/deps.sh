#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages Tinkla needs to build, test and run that this
# machine does not have yet. Needs root (or sudo).
set -euo pipefail
PACKAGES=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-qpa-plugins
    libgl-dev libvulkan-dev libxkbcommon-dev
    libasound2-dev alsa-utils
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang libclang-rt-14-dev clang-format
    fonts-liberation fontconfig
    xvfb xauth
    qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    dpkg-dev file lintian appstream desktop-file-utils
    bash-completion man-db bsdextrautils python3
)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}" >&2
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
