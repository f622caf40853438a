#!/usr/bin/env bash
# Start-up time (launch to the X server's MapNotify) and peak resident memory
# (VmHWM half a second later) of the real program under Xvfb, beside a bare
# window of the same size, title, controls and font (bench/startup_reference.cpp),
# in turn after one unmeasured start each: medians, and the times' ratio.
# Usage: [TAVRIK=PROGRAM] scripts/bench_startup.sh [runs]  (default build/app/tavrik, 21)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}

scripts/setup.sh >/dev/null
tavrik=${TAVRIK:-build/app/tavrik}
reference=build/bench/tavrik_startup_reference

source tests/xvfb.sh
xvfb="" pid="" XEV_PID=""
trap 'kill $pid $XEV_PID $xvfb 2>/dev/null || true' EXIT
start_xvfb
coproc XEV { exec stdbuf -oL xev -root -event substructure; }
sleep 0.2

now() { echo "${EPOCHREALTIME/[.,]/}"; } # microseconds, without starting a process

# start_once PROGRAM: sets tenths (of a millisecond, until mapped) and kb.
start_once() {
  local start line=""
  start=$(now)
  "$1" 2>/dev/null &
  pid=$!
  while read -r -t 10 -u "${XEV[0]}" line && [[ $line != MapNotify* ]]; do :; done
  [[ $line == MapNotify* ]] || { echo "$1: no window mapped within 10 s" >&2; exit 1; }
  tenths=$((($(now) - start) / 100))
  sleep 0.5
  kb=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=""
}

start_once "$tavrik" && start_once "$reference" # unmeasured
times=() memories=() reference_times=() reference_memories=()
for _ in $(seq "$runs"); do
  start_once "$tavrik"
  times+=("$tenths") memories+=("$kb")
  start_once "$reference"
  reference_times+=("$tenths") reference_memories+=("$kb")
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
t=$(median "${times[@]}") m=$(median "${memories[@]}")
rt=$(median "${reference_times[@]}") rm=$(median "${reference_memories[@]}")
awk -v runs="$runs" -v t="$t" -v m="$m" -v rt="$rt" -v rm="$rm" 'BEGIN {
  printf "runs: %d each, in turn; medians of start to window mapped, and of peak resident memory\n", runs
  printf "tavrik:    %5.1f ms  %5.1f MB\n", t / 10, m / 1024
  printf "reference: %5.1f ms  %5.1f MB\n", rt / 10, rm / 1024
  printf "ratio of the times: %.3f; memory above the reference: %.1f MB\n", t / rt, (m - rm) / 1024
}'
