#!/usr/bin/env bash
# Makes DIR (default build-aarch64/sysroot) a private root of Debian's arm64
# Qt and Highway, with every library they load and the fonts an installed
# system has: what the aarch64 preset builds against and qemu runs on.
# mmdebstrap only unpacks the packages (nothing runs), from this machine's
# release, whose dpkg gets no arm64. Needs root, or user namespaces.
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
