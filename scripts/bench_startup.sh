#!/usr/bin/env bash
# Start-up time and memory of the real program under Xvfb: for each run, the
# time from launching it until its window is mapped (polled with xdotool, no
# --sync), and the process's peak resident memory (VmHWM) half a second later.
# Prints the medians. Usage: [TAVRIK=PROGRAM] scripts/bench_startup.sh [runs]
# (TAVRIK, default build/app/tavrik, lets another build be compared.)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}

scripts/setup.sh >/dev/null

source tests/xvfb.sh
xvfb="" pid=""
trap 'kill $pid $xvfb 2>/dev/null || true' EXIT
start_xvfb

times=() memories=()
for run in $(seq "$runs"); do
  start=$(date +%s%N)
  ${TAVRIK:-build/app/tavrik} 2>/dev/null &
  pid=$!
  until xdotool search --onlyvisible --name '^Form1$' >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "tavrik ended before its window showed" >&2; exit 1; }
  done
  mapped=$(date +%s%N)
  sleep 0.5
  kb=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  times+=($(( (mapped - start) / 100000 )))   # tenths of a millisecond
  memories+=("$kb")
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
t=$(median "${times[@]}")
m=$(median "${memories[@]}")
printf 'runs: %d\nstart to window mapped, median: %d.%d ms\npeak resident memory, median: %.1f MB\n' \
  "$runs" $((t / 10)) $((t % 10)) "$(awk -v kb="$m" 'BEGIN {print kb / 1024}')"
