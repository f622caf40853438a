#!/usr/bin/env bash
# Makes DIR (default build-aarch64/sysroot) a private root holding Debian's
# arm64 Qt and Highway, their development files and every library they load,
# down to the C library, and the fonts an installed system has (the program's
# face and the message box's): what the aarch64 preset builds against and what
# qemu runs the program and tests on. mmdebstrap only unpacks the packages
# there (--variant=extract: nothing runs), from this machine's release; this
# machine's dpkg gets no arm64 architecture. Quiet and quick once DIR is made.
# Needs root, or user namespaces for mmdebstrap's unshare mode.
# Usage: scripts/aarch64_sysroot.sh [DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
sysroot=$(realpath -m "${1:-build-aarch64/sysroot}")
packages="qt6-base-dev libhwy-dev libstdc++6 fonts-liberation2 fonts-dejavu-core"
[ "$(cat "$sysroot/.complete" 2>/dev/null)" = "$packages" ] && exit 0
ensure_packages mmdebstrap qemu-user-static
release=$(. /etc/os-release && echo "$VERSION_CODENAME")
echo "making a private arm64 root in $sysroot (once)"
rm -rf "$sysroot" && mkdir -p "$(dirname "$sysroot")"
run_logged "$sysroot.log" mmdebstrap --variant=extract --architectures=arm64 --include="$packages" \
  "$release" "$sysroot"
# The dynamic loader where programs name it, also where the release keeps
# /lib in /usr (the base system's links to /usr are not among the packages).
for dir in lib bin sbin; do
  [ -e "$sysroot/$dir" ] || [ ! -d "$sysroot/usr/$dir" ] || ln -s "usr/$dir" "$sysroot/$dir"
done
echo "$(du -sm "$sysroot" | cut -f1) MiB"
echo "$packages" >"$sysroot/.complete"
