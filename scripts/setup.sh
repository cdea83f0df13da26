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
          # power-cut test: file systems made in loop-mounted images
          xfsprogs e2fsprogs mount
          desktop-file-utils appstream dpkg-dev file
          # end-to-end suite: window manager, XTEST input, window list, screenshots, clipboard
          openbox xdotool x11-utils imagemagick xclip python3
          # accessibility suite: a private D-Bus session, the accessibility bus, pyatspi
          dbus-daemon at-spi2-core python3-pyatspi)
bash scripts/install-missing.sh "${packages[@]}"

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j "$jobs"
