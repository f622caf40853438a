#!/usr/bin/env bash
# Remakes docs/screenshot.png (or $1): the real program under Xvfb after a
# search from 0 to 100, typed and clicked with real events (the smoke test's run).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
tests/smoke_xvfb.sh build/app/tavrik "$(realpath -m "${1:-docs/screenshot.png}")"
