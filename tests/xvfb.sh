# Sourced: start_xvfb starts a private Xvfb on a free display, waits until it
# answers, and exports DISPLAY (and QT_QPA_PLATFORM=xcb). Its pid is in $xvfb.
# -noreset: otherwise the server resets when its first client (the readiness
# probe) leaves, and the next client's connection can fail.
start_xvfb() {
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$fd_file" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.05; done
  DISPLAY=:$(head -1 "$fd_file")
  rm -f "$fd_file"
  export DISPLAY QT_QPA_PLATFORM=xcb
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.05; done
  echo "Xvfb did not start" >&2
  return 1
}
