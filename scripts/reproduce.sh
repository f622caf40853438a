#!/usr/bin/env bash
# The release (scripts/release.sh) made twice from a fresh clone of HEAD and
# compared byte for byte by Debian's reprotest: the second in another folder,
# later, with another umask, time zone, locale and home; diffoscope
# shows any difference, in build/reprotest/. The first is then kept in dist/,
# and each of its packages installed on a bare system of its release and
# architecture and smoke-tested (scripts/install_check.sh). Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages reprotest diffoscope-minimal git
work=$(mktemp -d /var/tmp/tavrik-reproduce.XXXXXX) store=$PWD/build/reprotest
trap 'rm -rf "$work"' EXIT
git clone -q --no-hardlinks . "$work/tavrik"
rm -rf "$store"
# Not varied: the clock (apt refuses an archive signed in its future), the
# processor count and kernel (the builds' bare systems run apt and dpkg), the
# file order (disorderfs needs FUSE), the user (no second one here) and the
# host name (without sudo, reprotest's user namespace breaks mmdebstrap).
(cd "$work/tavrik" && TMPDIR=$work reprotest --min-cpus="$(nproc)" --store-dir="$store" \
  --vary=-time,-num_cpus,-kernel,-fileordering,-user_group,-domain_host -s . scripts/release.sh 'dist/*')
rm -rf dist && cp -a "$store/control/source-root/dist" dist
echo "reproducible: $(ls dist | wc -l) files, the same bytes from both releases"
check() { scripts/install_check.sh "$1" "$(sed -n 's/^Build-Origin: .*(\(.*\))$/\1/p' "${1%.deb}.buildinfo")"; }
# Those for another processor (arm64: qemu keeps one core busy for minutes)
# beside the others, which follow one another.
native=$(dpkg --print-architecture) lanes=() failed=0
rm -f build/*.deb.check
for deb in dist/*.deb; do
  [[ $deb == *_"$native".deb ]] || { check "$deb" >"build/${deb##*/}.check" 2>&1 & lanes+=($!); }
done
for deb in dist/*_"$native".deb; do check "$deb" || failed=1; done
for pid in "${lanes[@]}"; do wait "$pid" || failed=1; done
cat build/*.deb.check
((!failed))
