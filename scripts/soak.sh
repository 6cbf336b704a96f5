#!/usr/bin/env bash
# Soak test of the demo on a private Xvfb with a window manager: random drags, key presses and
# releases, window moves and a minimise and restore for SOAK_SECONDS (default 120), then Escape.
# Reports frames drawn, resident memory after warm-up and at the end, X errors seen and the
# exit code. `scripts/soak.sh close` ends it by the window manager's close instead, and
# `scripts/soak.sh kill-x` kills the X server under it (a clear message and code 3 expected).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-escape}
seconds=${SOAK_SECONDS:-120}
"$root/scripts/deps.sh" soak
build=${VELVIX_BENCH_BUILD:-$root/build-bench}
VELVIX_BUILD=$build "$root/scripts/build.sh" -DCMAKE_BUILD_TYPE=Release -DVELVIX_BUILD_TESTS=OFF \
  -DVELVIX_BUILD_BENCH=ON
source "$root/scripts/xvfb.sh"
start_xvfb 1024x768x24
openbox >/dev/null 2>&1 &
sleep 1
report=$(mktemp)
cd "$build/run"
VELVIX_SOAK_REPORT=$report LD_PRELOAD=$build/bench/libsoak_shim.so "$build/particelle" \
  2>"$report.err" &
pid=$!
timeout 60 xdotool search --sync --name "Video!" >/dev/null ||
  { echo "the start-up question did not appear" >&2; exit 1; }
sleep 0.3
xdotool key n
sleep 1 # let the question's window go first: xdotool trips over windows vanishing mid-search
win=$(timeout 60 xdotool search --sync --name "Particelle Volumetriche" | head -n1 || true)
[ -n "$win" ] || { echo "no window titled Particelle Volumetriche" >&2; exit 1; }
# "gone" when the demo died: the report is then what matters most.
rss() { awk '/VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo gone; }
sleep 5
rss_start=$(rss)
end=$((SECONDS + seconds))
RANDOM=7
while [ $SECONDS -lt $end ]; do
  case $((RANDOM % 6)) in
    0|1) xdotool mousemove --window "$win" $((100 + RANDOM % 500)) $((100 + RANDOM % 350)) \
           mousedown $((RANDOM % 2 ? 1 : 3)) mousemove_relative -- $((RANDOM % 200 - 100)) \
           $((RANDOM % 200 - 100)) sleep 0.3 mouseup 1 mouseup 3 2>/dev/null || true ;;
    2) xdotool key --window "$win" $(printf "\\x$(printf %x $((97 + RANDOM % 26)))") || true ;;
    3) xdotool keydown --window "$win" space sleep 0.2 keyup --window "$win" space || true ;;
    4) xdotool windowmove "$win" $((RANDOM % 200)) $((RANDOM % 150)) || true ;;
    5) xdotool windowminimize "$win" sleep 1 windowactivate "$win" 2>/dev/null || true ;;
  esac
  sleep 0.2
done
rss_end=$(rss)
t0=$SECONDS
case "$mode" in
  escape) xdotool windowactivate --sync "$win" key Escape ;;
  close) wmctrl -i -c "$win" ;;
  kill-x) kill "$VELVIX_XVFB_PID" ;;
esac
status=0
for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  echo "the demo did not end within 20 s"; kill -9 "$pid"; status=1
fi
wait "$pid" || code=$?
code=${code:-0}
echo "mode $mode, $seconds s of input"
if [ -s "$report" ]; then
  sed "s/^/  /" "$report"
else
  echo "  frames and X errors not reported: the program did not end normally"
fi
echo "  resident memory: ${rss_start} kB after warm-up, ${rss_end} kB at the end"
echo "  exit code $code, $((SECONDS - t0)) s after the end request"
[ -s "$report.err" ] && echo "  stderr: $(cat "$report.err")"
rm -f "$report" "$report.err"
exit $status
