# Sourced by scripts: start_xvfb WxHxD starts a private Xvfb on a free display number, exports
# DISPLAY and stops the server when the calling shell exits.
start_xvfb() {
  local geometry=${1:-1024x768x24} fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -noreset +extension GLX +extension RANDR \
       3>"$fd_file" 2>/dev/null &
  VELVIX_XVFB_PID=$!
  trap 'kill $VELVIX_XVFB_PID 2>/dev/null || true' EXIT
  for _ in $(seq 1 100); do
    [ -s "$fd_file" ] && break
    sleep 0.05
  done
  if [ ! -s "$fd_file" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fd_file")"
  rm -f "$fd_file"
}
