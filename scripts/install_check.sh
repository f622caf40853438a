#!/usr/bin/env bash
# The package on a clean system: a fresh minimal Debian of this machine's
# release, which the package was built for (debootstrap --variant=minbase),
# where apt installs the .deb with its Depends and nothing else, and the
# installed program is then driven by the smoke test (typing 0 and 100, FIND:
# 25 primes, EXIT: status 0).
# The X server and the tools that drive it run outside, on this machine: the
# program inside reaches Xvfb through its abstract socket, so the system it
# runs on holds exactly what the package pulled in, and a library missing from
# Depends cannot be hidden by a test tool's own dependencies.
# Usage: scripts/install_check.sh build/tavrik_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(realpath "$1")
release=$(. /etc/os-release && echo "$VERSION_CODENAME")
source scripts/chroot.sh
if inside_chroot; then
  echo "SKIPPED: clean install on Debian $release (already inside a chroot; no nesting)"
  exit 0
fi
status=0
chroot_start "$release" || status=$?
if ((status == 2)); then
  echo "SKIPPED: clean install on Debian $release (the archive cannot be reached)"
  exit 0
fi
((status == 0)) || exit "$status"

start=$SECONDS
cp "$deb" "$root/tmp/"
log=$(realpath -m build/install_check.log)
echo "installing $(basename "$deb") on a minimal $release (log: $log)"
if ! timeout 600 chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive /bin/sh -c "
      apt-get update -q &&
      apt-get install -y -q --no-install-recommends /tmp/$(basename "$deb")" >"$log" 2>&1; then
  tail -30 "$log"
  echo "FAIL: apt-get could not install the package on a minimal $release"
  exit 1
fi
echo "installed in $((SECONDS - start)) s: $(grep -c '^Setting up ' "$log") packages set up"

# Every library the program and Qt's window system plugins link to is there.
missing=$(in_root 'ldd /usr/bin/tavrik /usr/lib/*/qt6/plugins/platforms/*.so' | grep 'not found' || true)
[ -z "$missing" ] || { echo "$missing"; echo "FAIL: libraries missing after the install"; exit 1; }

cat >"$root/tmp/run-tavrik" <<EOF
#!/bin/sh
exec chroot "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/root LANG=C.UTF-8 \
  DISPLAY="\$DISPLAY" QT_QPA_PLATFORM=xcb /usr/bin/tavrik
EOF
chmod 755 "$root/tmp/run-tavrik"
timeout 120 tests/smoke_xvfb.sh "$root/tmp/run-tavrik" "$(realpath -m build/install_check.png)"
echo "clean install on Debian $release: passed in $((SECONDS - start)) s"
