#!/usr/bin/env bash
# Runs a command on a private Xvfb of its own, so test programs that move the pointer, type or
# take the focus never disturb one another when CTest runs them side by side.
set -euo pipefail
source "$(dirname "$0")/xvfb.sh"
start_xvfb "${VELVIX_XVFB_SCREEN:-1024x768x24}"
"$@"
