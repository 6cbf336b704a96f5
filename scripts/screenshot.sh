#!/usr/bin/env bash
# Makes docs/particelle.png: the demo on a private Xvfb, the start-up question answered No with
# the keyboard, a drag to turn the view a little, then a picture of its window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" screenshot
build=${VELVIX_BUILD:-$root/build}
VELVIX_BUILD=$build "$root/scripts/build.sh"
source "$root/scripts/xvfb.sh"
start_xvfb 1024x768x24
cd "$build/run"
"$build/particelle" &
pid=$!
timeout 60 xdotool search --sync --name "Video!" >/dev/null ||
  { echo "the start-up question did not appear" >&2; exit 1; }
sleep 0.5
xdotool key n
win=$(timeout 60 xdotool search --sync --name "Particelle Volumetriche" | head -n1 || true)
[ -n "$win" ] || { echo "no window titled Particelle Volumetriche" >&2; exit 1; }
sleep 2
xdotool mousemove 400 300 mousedown 1 mousemove 400 310 sleep 0.5 mousemove 390 320 mouseup 1
sleep 3
xwd -silent -id "$win" | convert xwd:- "$root/docs/particelle.png"
xdotool key Escape
wait "$pid"
echo "wrote docs/particelle.png"
