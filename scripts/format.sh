#!/usr/bin/env bash
# Checks that every C and C++ source follows .clang-format; `scripts/format.sh fix` rewrites
# them instead. CI runs the check, so a badly formatted change fails early.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/deps.sh" format
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
case "${1:-check}" in
  check) clang-format --dry-run -Werror "${files[@]}" && echo "format: ${#files[@]} files clean" ;;
  fix) clang-format -i "${files[@]}" ;;
  *) echo "usage: $0 [check|fix]" >&2; exit 2 ;;
esac
