#!/usr/bin/env bash
# Runs a Qt program as a client of a private headless Weston compositor, on
# Qt's wayland platform: a folder of its own as XDG_RUNTIME_DIR, its own socket.
# Exits with the program's status; Weston is stopped and the folder removed in
# every case, also when this script is interrupted.
# Usage: weston.sh PROGRAM [ARGS...]   (WESTON names the compositor, default weston)
set -euo pipefail

runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid="" client_pid=""
running() { [ -e "/proc/$1" ] && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]; }
# Asks a process to end, then kills it if it is still there after two seconds.
end_process() {
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 40); do running "$1" || break; sleep 0.05; done
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
stop() {
  for pid in $client_pid $weston_pid; do end_process "$pid"; done
  rm -rf "$runtime"
}
trap stop EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

export XDG_RUNTIME_DIR=$runtime
socket=wayland-tavrik
"${WESTON:-weston}" --backend=headless-backend.so --socket="$socket" --no-config \
  --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston_pid=$!

for _ in $(seq 200); do
  [ -S "$runtime/$socket" ] && break
  if ! kill -0 "$weston_pid" 2>/dev/null; then
    echo "weston ended before it listened:" >&2
    cat "$runtime/weston.log" >&2
    exit 1
  fi
  sleep 0.05
done
if [ ! -S "$runtime/$socket" ]; then
  echo "weston made no socket within 10 s:" >&2
  cat "$runtime/weston.log" >&2
  exit 1
fi

unset DISPLAY
export WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland
# A headless Weston has no seat, and Qt 6.4's Wayland text input then crashes
# on the first key event; the compose input context needs no seat.
export QT_IM_MODULE=compose
# Widgets draw into shared memory; without window decorations Qt loads no EGL
# either, whose driver keeps allocations that the leak checker reports.
export QT_WAYLAND_DISABLE_WINDOWDECORATION=1

"$@" &
client_pid=$!
status=0
wait "$client_pid" || status=$?
client_pid=""
if [ "$status" -ne 0 ]; then
  echo "weston's log:" >&2
  cat "$runtime/weston.log" >&2
fi
exit "$status"
