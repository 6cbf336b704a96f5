#!/usr/bin/env bash
# Builds Velvix with its tests and runs them all on a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" test
build=${VELVIX_BUILD:-$root/build}
VELVIX_BUILD=$build "$root/scripts/build.sh" -DVELVIX_BUILD_TESTS=ON "$@"

# A private X server, so tests never touch the user's desktop.
source "$root/scripts/xvfb.sh"
start_xvfb 1024x768x24

ctest --test-dir "$build" --output-on-failure -j2
