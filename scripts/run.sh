#!/usr/bin/env bash
# Starts Tavrik: checks for a display, installs what building and running it
# need (sudo apt-get when not root), builds the program alone into build/ and
# starts it as the user who ran this; once all is there, in a second or two.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: start this from a desktop session (or under Xvfb with DISPLAY set)." >&2
  exit 1
fi
# On a Wayland desktop, Qt's Wayland plugin; without it Qt runs through XWayland.
[ -z "${WAYLAND_DISPLAY:-}" ] || ensure_packages qt6-wayland
use_utf8_locale # for the program and Qt's tools in the build
scripts/setup.sh --program
exec build/app/tavrik "$@"
