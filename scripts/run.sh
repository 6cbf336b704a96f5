#!/usr/bin/env bash
# Builds and runs the demo in a folder that holds its two pictures.
# `scripts/run.sh buttons` runs the image-button example instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" build
build=${VELVIX_BUILD:-$root/build}
VELVIX_BUILD=$build "$root/scripts/build.sh" -DVELVIX_BUILD_TESTS=OFF
case "${1:-demo}" in
  demo) cd "$build/run" && exec "$build/particelle" ;;
  buttons) cd "$build/examples/run" && exec "$build/examples/buttons_example" ;;
  *) echo "usage: $0 [demo|buttons]" >&2; exit 2 ;;
esac
