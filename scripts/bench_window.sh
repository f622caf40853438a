#!/usr/bin/env bash
# The click benchmarks in a real window (tavrik_bench on a private Xvfb), beside
# the search into stand-in controls and the heaviest window's divisions.
# Arguments go to the benchmark, e.g. --benchmark_repetitions=5.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null

source tests/xvfb.sh
xvfb=""
trap 'kill $xvfb 2>/dev/null || true' EXIT
start_xvfb
build/bench/tavrik_bench --benchmark_filter='click|search/0-|divisions/(AVX|SVE|NEON)[^/]*/996' "$@"
