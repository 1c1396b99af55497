#!/usr/bin/env bash
# Installs the Debian packages the toolkit builds and tests with.
# Runs apt only when something is missing; uses sudo when not root.
set -euo pipefail
packages=(
    build-essential cmake ninja-build ccache pkg-config zlib1g-dev libdeflate-dev libpng-dev
    libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev lld
    qt6-base-dev qt6-multimedia-dev libfontconfig-dev
    libgl-dev libglu1-mesa-dev libegl-dev libx11-dev libxdamage-dev libgl1-mesa-dri
    xvfb xauth mesa-utils
    fonts-dejavu-core
    file dpkg-dev lintian appstream man-db desktop-file-utils
    shared-mime-info xdg-utils libglib2.0-bin bash-completion
)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    # A Debian installed with a root password has no sudo: say what to run instead.
    if ! command -v sudo >/dev/null 2>&1; then
        echo "Missing packages: ${missing[*]}" >&2
        echo "sudo is not installed; install them as root, then run this again:" >&2
        echo "    su -c 'apt-get update && apt-get install -y --no-install-recommends ${missing[*]}'" >&2
        exit 1
    fi
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
