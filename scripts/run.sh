#!/usr/bin/env bash
# Sets up, builds and starts Strovane.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Strovane is a desktop program and no display was found: run it from a desktop session, or under a virtual display with: xvfb-run -a build/app/strovane"
    exit 1
fi
exec build/app/strovane "$@"
