#!/usr/bin/env bash
# The real program under Xvfb, driven like a person would: type both limits
# with real key events, click FIND with a real mouse click, take a screenshot,
# copy the count field to the clipboard, copy a prime with Ctrl+C in the list,
# click EXIT. Passes when the search changed the list, the count reads 25 (the
# primes up to 100), and the program ended with status 0 within a second of
# the click on EXIT.
# Where Xfce's clipboard manager (xfce4-clipman, with dbus-run-session) is
# installed it runs too: the program then hands the clipboard over while it
# shuts down, waiting up to 5 s for the manager, and must end on its own with
# the prime still on the clipboard for another client.
# Usage: smoke_xvfb.sh PROGRAM [SCREENSHOT.png]
set -euo pipefail
program=$1
shot=${2:-smoke.png}

source "$(dirname "$0")/xvfb.sh"
xvfb="" pid="" manager="" manager_home=""
# The manager, its bus and settings service are one process group.
trap 'kill $pid $xvfb 2>/dev/null; [ -z "$manager" ] || kill -- -"$manager" 2>/dev/null
  rm -rf "$manager_home"' EXIT
start_xvfb

exit_seconds=1
if command -v xfce4-clipman >/dev/null && command -v dbus-run-session >/dev/null; then
  # Its settings and history in a folder of its own, not the user's; its
  # settings service (xfconf) on a private session bus.
  manager_home=$(mktemp -d)
  HOME=$manager_home XDG_CONFIG_HOME=$manager_home XDG_CACHE_HOME=$manager_home \
    setsid dbus-run-session -- xfce4-clipman >"$manager_home/log" 2>&1 &
  manager=$!
  for _ in $(seq 200); do xlsclients 2>/dev/null | grep -q xfce4-clipman && break; sleep 0.05; done
  xlsclients | grep -q xfce4-clipman || { cat "$manager_home/log"; echo "FAIL: xfce4-clipman did not start"; exit 1; }
  exit_seconds=8 # the hand-off may take its 5 s
fi

"$program" 2>"${shot%.png}.stderr" &
pid=$!
wid=""
for _ in $(seq 200); do
  wid=$(xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | head -1) && [ -n "$wid" ] && break
  sleep 0.05
done
[ -n "$wid" ] || { echo "FAIL: the window never showed"; exit 1; }
sleep 0.3

# Mean brightness of the list (352,16 193x404) in the window's picture.
list_mean() { xwd -id "$wid" -silent | convert xwd:- -crop 193x404+352+16 -format '%[fx:mean]' info:; }
before=$(list_mean)

xdotool windowfocus --sync "$wid"
xdotool type --delay 10 "0"
xdotool key Tab
xdotool type --delay 10 "100"
xdotool mousemove --window "$wid" 144 232 click 1   # FIND   PRIME   NUMBERS
sleep 0.5
xwd -id "$wid" -silent | convert xwd:- "$shot"
after=$(list_mean)
[ "$before" != "$after" ] || { echo "FAIL: the list did not change after FIND ($before)"; exit 1; }
xdotool mousemove --window "$wid" 228 376 click 1   # the count field
xdotool key ctrl+a ctrl+c
count=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
[ "$count" = "25" ] || { echo "FAIL: the count field reads '$count', not 25"; exit 1; }

xdotool mousemove --window "$wid" 400 24 click 1    # the list's first item
xdotool key ctrl+c
prime=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
[ "$prime" = "  2" ] || { echo "FAIL: Ctrl+C in the list copied '$prime', not '  2'"; exit 1; }

xdotool mousemove --window "$wid" 212 300 click 1   # E X I T
for _ in $(seq $((exit_seconds * 20))); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
if kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: still running $exit_seconds s after EXIT"
  exit 1
fi
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; tail -30 "${shot%.png}.stderr"; exit 1; }
if grep -q "shutdown did not finish" "${shot%.png}.stderr"; then
  echo "FAIL: the shutdown was cut short:"
  cat "${shot%.png}.stderr"
  exit 1
fi
if [ -n "$manager" ]; then
  kept=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
  [ "$kept" = "$prime" ] || { echo "FAIL: after EXIT the clipboard holds '$kept', not '$prime'"; exit 1; }
  echo "PASS: searched, 25 primes, screenshot in $shot, ended with status 0," \
    "the copied prime kept by the clipboard manager"
else
  echo "PASS: searched, 25 primes, screenshot in $shot, ended with status 0"
fi
