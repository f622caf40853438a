#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tavrik.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: start this from a desktop session (or under Xvfb with DISPLAY set)." >&2
  exit 1
fi
exec build/app/tavrik "$@"
