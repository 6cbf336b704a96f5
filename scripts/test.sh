#!/usr/bin/env bash
# Builds Velvix with its tests and runs them all on a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" test
build=${VELVIX_BUILD:-$root/build}
VELVIX_BUILD=$build "$root/scripts/build.sh" -DVELVIX_BUILD_TESTS=ON "$@"

# Every test program starts a private X server of its own: the user's desktop is never touched.
ctest --test-dir "$build" --output-on-failure -j2
