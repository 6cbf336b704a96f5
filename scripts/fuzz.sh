#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer, libFuzzer)
# and runs each one on its committed seed corpus for FUZZ_SECONDS seconds (default 20).
# New inputs go to a scratch folder; a crash leaves its input in build-fuzz/ and fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" fuzz
build=${VELVIX_FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-20}
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DVELVIX_FUZZ=ON -DVELVIX_BUILD_TESTS=OFF \
  -DVELVIX_BUILD_TOOLS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_tga fuzz_bmp fuzz_region
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
run() { # target corpus
  local scratch
  scratch=$(mktemp -d)
  echo "fuzzing $1 for ${seconds}s"
  (cd "$build" && "./fuzz/$1" "$scratch" "$root/fuzz/corpus/$2" -max_total_time="$seconds" \
     -max_len=8192 -rss_limit_mb=4096 -timeout=10 -print_final_stats=1 2>&1 | tail -n 12)
  rm -rf "$scratch"
}
run fuzz_tga tga
run fuzz_bmp bmp
run fuzz_region bmp
