#!/usr/bin/env bash
# The package on a clean system: a fresh minimal Debian RELEASE (default:
# this machine's), where apt installs the .deb with its Depends and nothing
# else, and the installed program is then driven by the smoke test (typing 0
# and 100, FIND: 25 primes, EXIT: status 0).
# The X server and the tools that drive it run outside, on this machine: the
# program inside reaches Xvfb through its abstract socket, so the system it
# runs on holds exactly what the package pulled in, and a library missing from
# Depends cannot be hidden by a test tool's own dependencies. A package for
# another architecture (arm64) gets a system of that architecture, run under
# qemu, and the emulator's time limits in the smoke test. Needs root.
# Usage: scripts/install_check.sh PACKAGE.deb [RELEASE]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bare.sh
deb=$(realpath "$1")
release=${2:-$(. /etc/os-release && echo "$VERSION_CODENAME")}
arch=$(dpkg-deb -f "$deb" Architecture)
mkdir -p build
export log=$PWD/build/install_check-$release-$arch.log shot=$PWD/build/install_check-$release-$arch.png
[ "$arch" = "$(dpkg --print-architecture)" ] || export TAVRIK_RUNNER=env # emulated through binfmt_misc
echo "installing $(basename "$deb") on a minimal $release $arch (log: $log)"
start=$SECONDS
# shellcheck disable=SC2016 # each hook is expanded by mmdebstrap's sh, with the root as $1
if ! bare "$release/$arch" --customize-hook="upload $deb /tmp/tavrik.deb" \
  --customize-hook='chroot "$1" apt-get install -y -q --no-install-recommends /tmp/tavrik.deb >"$log" 2>&1' \
  --customize-hook='echo "$(grep -c "^Setting up " "$log") packages set up"' \
  --customize-hook='! chroot "$1" sh -c "ldd /usr/bin/tavrik /usr/lib/*/qt6/plugins/platforms/*.so" |
      grep "not found"' \
  --customize-hook='printf "#!/bin/sh\nexec chroot %s /usr/bin/env -i PATH=/usr/bin:/bin HOME=/root \
LANG=C.UTF-8 DISPLAY=\"\$DISPLAY\" QT_QPA_PLATFORM=xcb /usr/bin/tavrik\n" "$1" >"$1/run-tavrik" &&
      chmod 755 "$1/run-tavrik" && timeout 120 tests/smoke_xvfb.sh "$1/run-tavrik" "$shot"'; then
  tail -30 "$log"
  echo "FAIL: the package on a minimal $release $arch"
  exit 1
fi
echo "clean install on Debian $release $arch: passed in $((SECONDS - start)) s"
