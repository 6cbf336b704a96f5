#!/usr/bin/env bash
# Configures and builds Velvix into build/ (or $VELVIX_BUILD). Extra arguments go to cmake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELVIX_BUILD:-$root/build}
cmake -S "$root" -B "$build" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
