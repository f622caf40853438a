#!/usr/bin/env bash
# Runs a Windows program under Wine (Debian's wine64), in a private prefix,
# on the X display in DISPLAY, and exits with the program's status. CTest uses
# it as the emulator of the Windows build, so every test runs through here.
#
# Each run gets a wineserver of its own that ends with it: Wine's desktop
# process, which also carries its clipboard, stays tied to the display it
# started on, and the next run may use another. Runs therefore go one at a time.
#
# Qt Test writes nothing to a console under Wine; its report goes through a
# file and is printed from there.
#
# WINEPREFIX defaults to ~/.cache/tavrik/wine, made on first use, as
# Windows 10: the version the program's manifest names (Wine 8 makes a
# Windows 7 prefix otherwise).
# Usage: wine.sh PROGRAM.exe [ARGS...]
set -euo pipefail
wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tavrik/wine}
# No Mono or Gecko download offers, no debug chatter, no menu entries on this
# machine's desktop for the shortcuts an installer makes; the program on Qt's
# own Windows platform, whatever the caller's Qt platform is.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" QT_QPA_PLATFORM=windows
[ -n "${DISPLAY:-}" ] || { echo "wine.sh: no DISPLAY" >&2; exit 1; }

mkdir -p "$(dirname "$WINEPREFIX")"
exec {lock}>"$WINEPREFIX.lock"
flock -w 600 "$lock" || { echo "wine.sh: $WINEPREFIX is busy" >&2; exit 1; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot --init >/dev/null 2>&1
  "$wineserver" --wait
  # Wine's own faces (MS Sans Serif, Tahoma, ...), which a 64-bit-only Wine
  # leaves out of a new prefix: Windows always has them.
  if [ -d /usr/share/wine/fonts ]; then
    cp -s /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
fi
# winecfg writes the version into the registry, which Wine keeps as text.
if ! grep -qx '"CurrentVersion"="10.0"' "$WINEPREFIX/system.reg"; then
  "$wine" winecfg /v win10
  "$wineserver" --wait
fi

program=$1
shift
args=("$@")
report=""
if [[ $(basename "$program") == tst_* ]]; then
  report=$(mktemp --suffix=.txt)
  args+=(-o "Z:$report,txt") # Wine's drive Z: is the root folder
fi

status=0
"$wine" "$program" "${args[@]}" || status=$?
"$wineserver" --wait
if [ -n "$report" ]; then
  cat "$report"
  rm -f "$report"
fi
exit "$status"
