#!/usr/bin/env bash
# Builds the demo and runs it in a folder that holds its two pictures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" build
VELVIX_BUILD=${VELVIX_BUILD:-$root/build} "$root/scripts/build.sh" -DVELVIX_BUILD_TESTS=OFF
build=${VELVIX_BUILD:-$root/build}
cd "$build/run"
exec "$build/particelle"
