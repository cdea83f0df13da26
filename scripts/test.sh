#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" "$@"
