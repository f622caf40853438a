#!/usr/bin/env bash
# Tavrik's release, from a clean checkout of a commit, into DIST (default dist/):
#   tavrik-VERSION.tar.gz              the source (git archive)
#   tavrik_VERSION-1~debNN_ARCH.deb    for Debian 12 (amd64, arm64) and 13
#                                      (amd64), each built from the tarball on
#                                      a bare system of its release
#                                      (scripts/deb.sh; arm64 cross-built)
#   tavrik-VERSION-windows-x86_64.zip  tavrik.exe, COPYING.txt, README.txt and
#   tavrik-VERSION-windows-x86_64.msi  NOTICES.txt, unpacked or installed
#                                      (scripts/windows.sh, from the tarball)
#   qt6-base_*, highway_*              the Debian sources of Qt and Highway in it
#   *.buildinfo, SHA256SUMS            what built each, and the checksums
# Every date is the newest changelog entry's (SOURCE_DATE_EPOCH), so two
# releases of a commit are the same bytes: scripts/reproduce.sh makes it twice,
# compares, and installs each package on a bare system. Needs root.
# Usage: scripts/release.sh [DIST]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bare.sh
[ -z "$(git status --porcelain)" ] || { git status --short; echo "FAIL: uncommitted changes" >&2; exit 1; }
ensure_packages git dpkg-dev python3
dist=$(realpath -m "${1:-dist}") logs=$PWD/build
version=$(dpkg-parsechangelog -l packaging/changelog -S Version) # 1.00-1
upstream=${version%-*}
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)
export SOURCE_DATE_EPOCH work
rm -rf "$dist" && mkdir -p "$dist" "$logs"
work=$(mktemp -d /var/tmp/tavrik-release.XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "== the source: tavrik-$upstream.tar.gz"
tarball=$dist/tavrik-$upstream.tar.gz
git archive --format=tar --prefix="tavrik-$upstream/" HEAD | gzip -9n >"$tarball"

# buildinfo OUT ARCH ROOT FILE... [-- PACKAGE...]: what built the FILEs, as
# Debian's .buildinfo says it: the release, and the packages installed in ROOT
# (PACKAGEs and what they depend on, if given) with their versions. No date or
# path: the bytes do not depend on them.
buildinfo() {
  local out=$1 arch=$2 root=$3 files=("$tarball") packages=() f
  shift 3
  while (($#)) && [ "$1" != -- ]; do files+=("$1") && shift; done
  (($# < 2)) || mapfile -t packages < <(apt-cache depends --recurse --installed --no-recommends \
    --no-suggests --no-conflicts --no-breaks --no-replaces --no-enhances "${@:2}" | grep '^[a-z0-9]')
  {
    echo "Format: 1.0"
    echo "Source: tavrik ($version)"
    echo "Architecture: $arch"
    echo "Build-Origin: $(. "$root/etc/os-release" && echo "$PRETTY_NAME")"
    echo "Build-Architecture: $(dpkg --print-architecture)"
    echo "Checksums-Sha256:"
    for f in "${files[@]}"; do echo " $(sha256sum <"$f" | cut -c1-64) $(stat -c %s "$f") ${f##*/}"; done
    printf 'Environment:\n SOURCE_DATE_EPOCH="%s"\n' "$SOURCE_DATE_EPOCH"
    echo "Installed-Build-Depends:"
    { dpkg-query --admindir="$root/var/lib/dpkg" -W \
      -f '${db:Status-Abbrev} ${binary:Package} (= ${Version})\n' "${packages[@]}" 2>/dev/null || true; } |
      awk '$1 == "ii" {print " " $2, $3, $4}' | LC_ALL=C sort -u | sed '$!s/$/,/'
  } >"$out"
}

# debs RELEASE/ARCH,...: the packages built on one bare RELEASE, the first
# architecture natively, any other cross-built beside it (dpkg multiarch), each
# from the tarball in a folder of a random name (the package must not depend
# on it). Each lands in $work/deb-RELEASE-ARCH with the system's release and
# record of packages as they stood after its build.
debs() {
  local release=${1%/*} arches=${1#*/} arch out
  local hooks=(--customize-hook="upload $tarball /root/tavrik.tar.gz")
  for arch in ${arches//,/ }; do
    out=$work/deb-$release-$arch
    # shellcheck disable=SC2016 # expanded by mmdebstrap's sh, with the root as $1
    hooks+=(--customize-hook='chroot "$1" /usr/bin/env -i HOME=/root TZ="$TZ" LC_ALL="$LC_ALL" \
      PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive DEB_HOST_ARCH='"$arch"' \
      /bin/bash -ec "cd \$(mktemp -d /root/build.XXXXXX) && tar -xzf /root/tavrik.tar.gz &&
        cd tavrik-* && scripts/deb.sh"'
      --customize-hook="mkdir -p $out/etc $out/var/lib"
      --customize-hook='cp -a "$1"/root/build.*/tavrik-*/build-deb/tavrik_*.deb '"$out"'/ &&
        rm -rf "$1"/root/build.* && cp -aL "$1/etc/os-release" '"$out"'/etc/ &&
        cp -a "$1/var/lib/dpkg" '"$out"'/var/lib/')
  done
  bare "$1" "${hooks[@]}" >"$logs/release-$release.log" 2>&1 ||
    { tail -40 "$logs/release-$release.log"; echo "FAIL: the packages for $release"; return 1; }
}
echo "== the Debian packages, each built on a bare system of its release"
# Side by side: most of the time in each is dpkg, which keeps one core busy.
debs bookworm/amd64,arm64 & lane=$!
failed=0
debs trixie/amd64 || failed=1
wait $lane || failed=1
((!failed))
for out in "$work"/deb-*; do
  deb=$(echo "$out"/tavrik_*.deb)
  mv "$deb" "$dist/" && deb=$dist/${deb##*/}
  buildinfo "${deb%.deb}.buildinfo" "${out##*-}" "$out" "$deb"
  rm -rf "$out"
  echo "${deb##*/}: $(stat -c %s "$deb") bytes"
done

echo "== the Windows zip and installer, built from the tarball"
tar -C "$work" -xzf "$tarball"
(cd "$work/tavrik-$upstream" && scripts/windows.sh --release "$dist") >"$logs/release-windows.log" 2>&1 ||
  { tail -40 "$logs/release-windows.log"; echo "FAIL: the Windows packages"; exit 1; }
grep -F ' bytes' "$logs/release-windows.log" | tail -3

cd "$dist"
find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%f\n' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS
echo "release $version in $dist:" && ls -l --time-style=+ | awk 'NR > 1 {print "  " $5, $6}'
