#!/usr/bin/env bash
# The real program under Xvfb, driven like a person would: type both limits
# with real key events, click FIND with a real mouse click, take a screenshot,
# copy the count field to the clipboard, click EXIT. Passes when the search
# changed the list, the count reads 25 (the primes up to 100), the window
# carries its icon at every size, and the program ended with status 0 within a
# second of the click on EXIT.
# Usage: smoke_xvfb.sh PROGRAM [SCREENSHOT.png]
set -euo pipefail
program=$1
shot=${2:-smoke.png}

source "$(dirname "$0")/xvfb.sh"
xvfb="" pid=""
trap 'kill $pid $xvfb 2>/dev/null || true' EXIT
start_xvfb

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

# The window carries its icon at every size (set once the window is shown).
sizes=$(xprop -len 1000000 -id "$wid" -notype 32c _NET_WM_ICON | sed 's/^[^=]*= //' | tr -d ' ' |
  tr ',' '\n' | awk '{v[NR] = $1} END {for (i = 1; i < NR; i += 2 + v[i] * v[i + 1]) printf "%s ", v[i]}')
[ "$sizes" = "16 24 32 48 64 128 256 " ] || { echo "FAIL: window icon sizes '$sizes'"; exit 1; }

xdotool mousemove --window "$wid" 212 300 click 1   # E X I T
for _ in $(seq 20); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
if kill -0 "$pid" 2>/dev/null; then echo "FAIL: still running a second after EXIT"; exit 1; fi
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; tail -30 "${shot%.png}.stderr"; exit 1; }
echo "PASS: searched, 25 primes, screenshot in $shot, ended with status 0"
