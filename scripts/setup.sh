#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and builds.
# Usage: scripts/setup.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}

packages=(cmake g++ make pkg-config
          qt6-base-dev qt6-multimedia-dev libgl-dev
          libpugixml-dev libgtest-dev libgmock-dev libbenchmark-dev
          xvfb xauth
          desktop-file-utils appstream dpkg-dev file
          # end-to-end suite: window manager, XTEST input, window list, screenshots
          openbox xdotool x11-utils imagemagick python3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j "$jobs"
