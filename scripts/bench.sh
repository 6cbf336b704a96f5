#!/usr/bin/env bash
# Builds the benchmarks (Release) into build-bench/ and runs them on a private Xvfb; prints
# figures only. Each compares against a peer measured in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" bench
build=${VELVIX_BENCH_BUILD:-$root/build-bench}
VELVIX_BUILD=$build "$root/scripts/build.sh" -DCMAKE_BUILD_TYPE=Release -DVELVIX_BUILD_TESTS=OFF \
  -DVELVIX_BUILD_BENCH=ON
source "$root/scripts/xvfb.sh"
start_xvfb 1024x768x24
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), Mesa $(glxinfo 2>/dev/null | sed -n 's/.*OpenGL version string: //p' || true)"
"$build/bench/bench_readers"
echo
cd "$build/run"
"$build/bench/bench_frame"
echo
"$build/bench/bench_first_frame"
echo
"$build/bench/bench_input_lag"
