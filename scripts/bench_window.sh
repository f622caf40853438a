#!/usr/bin/env bash
# The click benchmarks in a real window: tavrik_bench under a private Xvfb on
# Qt's xcb platform, with the vector divisions of the same range for comparison.
# Arguments go to the benchmark, e.g. --benchmark_repetitions=5.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null

source tests/xvfb.sh
xvfb=""
trap 'kill $xvfb 2>/dev/null || true' EXIT
start_xvfb
build/bench/tavrik_bench --benchmark_filter='click|divisions/(AVX3|AVX2|SVE2|SVE|NEON)/996' "$@"
