#!/usr/bin/env bash
# Starts the real program under Xvfb, searches 0 to 100 with real key and
# mouse events, and saves the window to docs/screenshot.png (or to $1).
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshot.png}")"

need=()
for p in xvfb xdotool x11-apps imagemagick; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed' || need+=("$p")
done
if ((${#need[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
scripts/setup.sh >/dev/null

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $tavrik $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

QT_QPA_PLATFORM=xcb build/app/tavrik &
tavrik=$!
wid=""
for _ in $(seq 200); do
  wid=$(xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | head -1) && [ -n "$wid" ] && break
  sleep 0.05
done
[ -n "$wid" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 0.3

xdotool windowfocus --sync "$wid"
xdotool type --delay 20 "0"
xdotool key Tab
xdotool type --delay 20 "100"
# Centre of "FIND   PRIME   NUMBERS": left 16, top 208, 257 x 49 pixels.
xdotool mousemove --window "$wid" 144 232 click 1
sleep 0.5

mkdir -p "$(dirname "$out")"
xwd -id "$wid" -silent | /usr/bin/convert xwd:- "$out"
echo "saved $out"
