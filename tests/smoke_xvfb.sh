#!/usr/bin/env bash
# The real program under Xvfb, driven like a person would: type both limits
# with real key events, click FIND with a real mouse click, take a screenshot,
# copy the count field to the clipboard; then a range it rejects, whose message
# box is captured and closed with OK; copy a prime with Ctrl+C in the list;
# then click EXIT. Passes when the search changed the list, the count reads 25
# (the primes up to 100), the box titled "Tavrik" came and went leaving the
# lower limit, the window carries its icon at its five sizes, and the program
# ended with status 0 within ten seconds of the click on EXIT.
# Where Xfce's clipboard manager (xfce4-clipman, with dbus-run-session) is
# installed it runs too: the program then hands the clipboard over while it
# shuts down, waiting up to 5 s for the manager, and must end on its own with
# the prime still on the clipboard for another client.
# TAVRIK_RUNNER, when set, is the program that runs the program: tests/wine.sh
# for a Windows build. No clipboard manager runs then: the hand-off is Qt's on X11.
# TAVRIK_SCALE (default 1) is the scale the window is drawn at, e.g. 1.5 with
# QT_SCALE_FACTOR=1.5: every click lands at the scaled position.
# Usage: smoke_xvfb.sh PROGRAM [SCREENSHOT.png]   (the box: SCREENSHOT-box.png)
set -euo pipefail
program=$1
shot=${2:-smoke.png}
runner=${TAVRIK_RUNNER:-}
scale=${TAVRIK_SCALE:-1}
# Tenths of a second to wait for the window, for the process after EXIT (a
# clipboard manager's hand-off included), and for anything else to show (a
# search's list, a copy on the clipboard): room for an emulator and a loaded
# build machine; a passing run waits only as long as the program takes.
start_limit=900 exit_limit=100 limit=300

source "$(dirname "$0")/xvfb.sh"
xvfb="" pid="" manager="" manager_home=""
# The manager, its bus and settings service are one process group.
trap 'kill $pid $xvfb 2>/dev/null; [ -z "$manager" ] || kill -- -"$manager" 2>/dev/null
  rm -rf "$manager_home"' EXIT
start_xvfb

if [ -z "$runner" ] && command -v xfce4-clipman >/dev/null && command -v dbus-run-session >/dev/null; then
  # Its settings and history in a folder of its own, not the user's; its
  # settings service (xfconf) on a private session bus.
  manager_home=$(mktemp -d)
  HOME=$manager_home XDG_CONFIG_HOME=$manager_home XDG_CACHE_HOME=$manager_home \
    setsid dbus-run-session -- xfce4-clipman >"$manager_home/log" 2>&1 &
  manager=$!
  for _ in $(seq 200); do xlsclients 2>/dev/null | grep -q xfce4-clipman && break; sleep 0.05; done
  xlsclients | grep -q xfce4-clipman || { cat "$manager_home/log"; echo "FAIL: xfce4-clipman did not start"; exit 1; }
fi

# Window pixels at 96 dots per inch, scaled.
px() { for n in "$@"; do awk -v n="$n" -v s="$scale" 'BEGIN {printf "%d ", n * s + 0.5}'; done; }
click() { read -r x y <<<"$(px "$1" "$2")"; xdotool mousemove --window "$wid" "$x" "$y" click 1; }
find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
clipboard() { timeout 5 xclip -o -selection clipboard 2>/dev/null || true; }
clipboard_is() { [ "$(clipboard)" = "$1" ]; }
# Runs COMMAND every tenth of a second until it succeeds, for at most $limit tries.
poll() {
  for _ in $(seq "$limit"); do "$@" && return 0; sleep 0.1; done
  return 1
}

${runner:+"$runner"} "$program" 2>"${shot%.png}.stderr" &
pid=$!
wid=""
for _ in $(seq "$start_limit"); do
  wid=$(find_window Form1) && [ -n "$wid" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$wid" ] || { echo "FAIL: the window never showed"; tail -30 "${shot%.png}.stderr"; exit 1; }

# Mean brightness of the list (352,16 193x404) in the window's picture.
read -r list_x list_y list_w list_h <<<"$(px 352 16 193 404)"
list_mean() {
  xwd -id "$wid" -silent |
    convert xwd:- -crop "${list_w}x${list_h}+${list_x}+${list_y}" -format '%[fx:mean]' info:
}
# The empty list is all yellow: a mean of 2/3, once painted.
painted() { before=$(list_mean) && awk -v m="$before" 'BEGIN {exit !(m > 0.6)}'; }
poll painted || { echo "FAIL: the empty list was never painted yellow ($before)"; exit 1; }
listed() { [ "$(list_mean)" != "$before" ]; }

xdotool windowfocus --sync "$wid"
xdotool type --delay 10 "0"
xdotool key Tab
xdotool type --delay 10 "100"
click 144 232   # FIND   PRIME   NUMBERS
poll listed || { echo "FAIL: the list did not change after FIND ($before)"; exit 1; }
xwd -id "$wid" -silent | convert xwd:- "$shot"

# Copies the field at X Y (all of it), and waits for TEXT on the clipboard.
copied() {
  click "$2" "$3"
  xdotool key ctrl+a ctrl+c
  poll clipboard_is "$1"
}
copied 25 228 376 || { echo "FAIL: the count field reads '$(clipboard)', not 25"; exit 1; }

# The window carries its icon at 16 to 64 px, in any order, once it is shown.
# Wine gives a Windows program's window only the two sizes Windows asks for.
if [[ $program != *.exe ]]; then
  sizes=$(xprop -len 1000000 -id "$wid" -notype 32c _NET_WM_ICON | sed 's/^[^=]*= //' | tr -d ' ' |
    tr ',' '\n' | awk '{v[NR] = $1} END {for (i = 1; i < NR; i += 2 + v[i] * v[i + 1]) print v[i]}' | sort -n | tr '\n' ' ')
  [ "$sizes" = "16 24 32 48 64 " ] || { echo "FAIL: window icon sizes '$sizes'"; exit 1; }
fi

click 216 104   # the lower limit
xdotool key ctrl+a
xdotool type --delay 10 "7"
xdotool key Tab
xdotool type --delay 10 "7"
click 144 232   # FIND   PRIME   NUMBERS
box=""
for _ in $(seq 100); do
  box=$(find_window Tavrik) && [ -n "$box" ] && break
  sleep 0.05
done
[ -n "$box" ] || { echo "FAIL: no message box titled Tavrik for the range 7 to 7"; exit 1; }
# Painted once its message and button make it more than one colour.
box_drawn() {
  xwd -id "$box" -silent | convert xwd:- "${shot%.png}-box.png" &&
    [ "$(convert "${shot%.png}-box.png" -format '%[fx:standard_deviation > 0]' info:)" = 1 ]
}
poll box_drawn || { echo "FAIL: the message box was never drawn"; exit 1; }
xdotool windowfocus --sync "$box"
xdotool key Return   # OK, the box's only button
for _ in $(seq 100); do
  [ -n "$(find_window Tavrik)" ] || break
  sleep 0.05
done
[ -z "$(find_window Tavrik)" ] || { echo "FAIL: the message box is still open after OK"; exit 1; }
# Only the upper limit is emptied after this box.
copied 7 216 104 || { echo "FAIL: the lower limit reads '$(clipboard)' after the box, not 7"; exit 1; }
! listed || { echo "FAIL: the list is not empty after the rejected range"; exit 1; }

# A prime of a new search, copied from the list.
click 216 160   # the upper limit
xdotool key ctrl+a
xdotool type --delay 10 "100"
click 144 232   # FIND   PRIME   NUMBERS
poll listed || { echo "FAIL: the list did not change after FIND 7 to 100"; exit 1; }
click 400 24    # the list's first item
xdotool key ctrl+c
prime="  7"
poll clipboard_is "$prime" ||
  { echo "FAIL: Ctrl+C in the list copied '$(clipboard)', not '$prime'"; exit 1; }

click 212 300   # E X I T
for _ in $(seq "$exit_limit"); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then echo "FAIL: still running $((exit_limit / 10)) s after EXIT"; exit 1; fi
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; tail -30 "${shot%.png}.stderr"; exit 1; }
if grep -q "shutdown did not finish" "${shot%.png}.stderr"; then
  echo "FAIL: the shutdown was cut short:"
  cat "${shot%.png}.stderr"
  exit 1
fi
kept=""
if [ -n "$manager" ]; then
  kept=$(clipboard)
  [ "$kept" = "$prime" ] || { echo "FAIL: after EXIT the clipboard holds '$kept', not '$prime'"; exit 1; }
  kept=", the copied prime kept by the clipboard manager"
fi
echo "PASS: searched, 25 primes, screenshot in $shot; 7 to 7 rejected in a box titled Tavrik;" \
  "ended with status 0$kept"
