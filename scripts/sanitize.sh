#!/usr/bin/env bash
# Builds everything with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer into
# build-asan/ and runs the whole test suite there, on a private Xvfb. Leak reports from the X
# and Mesa libraries are suppressed (scripts/lsan.supp says why, one by one); ours are not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" test
build=${VELVIX_ASAN_BUILD:-$root/build-asan}
VELVIX_BUILD=$build "$root/scripts/build.sh" -DVELVIX_SANITIZE=ON -DVELVIX_BUILD_TESTS=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Allocations that cannot be had must fail as they would without the sanitizer (tests ask).
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
ctest --test-dir "$build" --output-on-failure -j2
