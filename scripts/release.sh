#!/usr/bin/env bash
# Tavrik's release of the checked-out commit into DIST (default dist/), then
# its checks; under CI (CI set) only the builds marked ci. docs/release.md
# says what it makes and why. Needs root or sudo, and user namespaces.
# Usage: scripts/release.sh [DIST]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bare.sh

# RELEASE ARCH [ci], each built on a bare amd64 system of its release.
builds=(
  "bookworm amd64 ci" "bookworm arm64 ci" "bookworm armhf"
  "trixie amd64 ci" "trixie arm64" "trixie armel" "trixie armhf ci" "trixie i386 ci"
  "trixie ppc64el" "trixie riscv64" "trixie s390x ci"
  "unstable amd64 ci"
)

[ -z "$(git status --porcelain)" ] || { git status --short; echo "FAIL: uncommitted changes" >&2; exit 1; }
# All the builds need, before they run side by side (apt takes one at a time).
ensure_packages "${release_packages[@]}" "${windows_packages[@]}"
# sbuild's unshare mode maps the user's subordinate ids: adduser gives every
# user a range, but root has none.
for f in /etc/subuid /etc/subgid; do
  grep -q "^$(id -un):" $f && continue
  start=$(awk -F: '$2 + $3 > m {m = $2 + $3} END {print (m > 100000 ? m : 100000)}' $f)
  echo "$f: subordinate ids $start-$((start + 65535)) for $(id -un), as sbuild needs"
  apt_as_root sh -c "echo '$(id -un):$start:65536' >>$f"
done

dist=$(realpath -m "${1:-dist}") logs=$PWD/build/release unstable=$PWD/build/unstable
version=$(dpkg-parsechangelog -S Version) maintainer=$(dpkg-parsechangelog -S Maintainer)
export SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -S Timestamp) upstream=${version%-*} native=$(dpkg --print-architecture)
rm -rf "$dist" "$logs" "$unstable" && mkdir -p "$dist" "$logs" "$unstable"
work=$(mktemp -d /var/tmp/tavrik-release.XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "== the source package"
# Once v$upstream is tagged, every Debian revision takes the same orig tarball.
tree=HEAD
git rev-parse -q --verify "refs/tags/v$upstream" >/dev/null && tree=v$upstream
git diff --quiet "$tree" HEAD -- . ':!debian' ||
  { echo "FAIL: the source differs from v$upstream: a new version, or a patch in debian/" >&2; exit 1; }
echo "tavrik_$upstream.orig.tar.gz from $tree ($(git rev-parse --short "$tree^{commit}"))"
git archive --prefix="tavrik-$upstream/" "$tree" -- . ':!debian' | gzip -9n >"$work/tavrik_$upstream.orig.tar.gz"
tar -C "$work" -xzf "$work/tavrik_$upstream.orig.tar.gz"
git archive HEAD debian | tar -C "$work/tavrik-$upstream" -x
# In a fixed environment, which its record lists.
(cd "$work/tavrik-$upstream" && run_logged "$logs/source.log" env -i PATH="$PATH" LC_ALL=C.UTF-8 \
  SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH" dpkg-buildpackage -S -us -uc -d -nc)
mv "$work"/tavrik_* "$dist/"
dsc=$dist/tavrik_$version.dsc

# build RELEASE ARCH: sbuild's build for ARCH on a bare RELEASE, into
# $work/RELEASE-ARCH; for Debian 12 and 13 a binary rebuild of its own version
# (1.00-1~deb12u1). Where the archive cannot give its build dependencies
# today, one line says so and the release goes on without it.
build() {
  local release=$1 arch=$2 out=$work/$1-$2 log=$logs/$1-$2.build chroot n options=() status tries=3
  case $release in bookworm) n=12 ;; trixie) n=13 ;; *) n="" ;; esac
  [ -z "$n" ] || options=(--append-to-version="~deb${n}u1" --make-binNMU="Built for Debian $n." --binNMU=0
    --binNMU-timestamp="$SOURCE_DATE_EPOCH")
  [ "$arch" = "$native" ] || options+=(--profiles=cross)
  chroot=$(tarball "$release" buildd) && emulate "$arch" || return 1
  # A mirror mid-sync serves a list that fails apt-get update for a while: again, later.
  while status=0 && rm -rf "$out" && mkdir -p "$out"; do
    # DEB_BUILD_OPTIONS given: sbuild asks no nocheck of a cross build.
    (cd "$out" && LANG=C.UTF-8 DEB_BUILD_OPTIONS=$([ "$arch" = "$native" ] || echo crossbuildcanrunhostbinaries) \
      sbuild --chroot-mode=unshare --chroot="$chroot" --dist="$release" --host="$arch" \
      --maintainer="$maintainer" "${options[@]}" --build-path=/build/tavrik \
      --no-run-lintian --no-run-autopkgtest --no-run-piuparts --bd-uninstallable-explainer=apt \
      "$dsc") >"$log.out" 2>&1 || status=$?
    cp "$out"/*Z.build "$log" 2>/dev/null && rm "$log.out" || mv "$log.out" "$log" # or what sbuild said
    [ $status != 0 ] && grep -q '^Fail-Stage: apt-get-update' "$log" && ((--tries)) || break
    sleep 300
  done
  if [ $status != 0 ] && grep -q '^Fail-Stage: \(install-deps\|apt-get-update\)' "$log"; then
    mv "$log" "${log%.build}-uninstallable.log" && rm -rf "$out"
    echo "$release $arch: build dependencies not to be had from the archive today, not built (${log%.build}-uninstallable.log)"
  elif [ $status != 0 ]; then
    tail -40 "$log"
    echo "FAIL: the build for $release $arch (log: $log)"
    return 1
  else
    echo "$release $arch: built, tests passed ($(sed -n 's/^QINFO *: .*runs: //p' "$log" | paste -sd' '))"
  fi
}

windows() {
  dpkg-source -x "$dsc" "$work/windows" >/dev/null 2>&1 &&
    (cd "$work/windows" && run_logged "$logs/windows.log" scripts/windows.sh --release "$dist") &&
    echo "Windows: built"
}

echo "== the packages, built by sbuild, and the Windows program"
# Two at a time (most of a build is apt and dpkg, on one core); Windows last.
failed=$work/failed
run() {
  while (($(jobs -rp | wc -l) >= 2)); do wait -n || true; done
  { "$@" || echo "$*" >>"$failed"; } &
}
for line in "${builds[@]}"; do
  read -r release arch ci <<<"$line"
  [ -z "${CI:-}" ] || [ -n "${ci:-}" ] || continue
  run build "$release" "$arch"
done
run windows
wait
[ ! -e "$failed" ] || { echo "FAIL: $(paste -sd, "$failed")"; exit 1; }
for out in "$work"/*-*/; do
  [[ $out == */unstable-* ]] && to=$unstable || to=$dist
  mv "$out"/*.deb "$out"/*.buildinfo "$out"/*.changes "$to/" 2>/dev/null || true
done

# scripts/reproduce.sh's second release, made to be compared, skips the checks.
if [ -z "${TAVRIK_UNCHECKED:-}" ]; then
echo "== lintian, hardening-check and blhc"
# Each release's own lintian and unstable's, side by side (docs/release.md).
mkdir "$work/lint" && cp -a "$dist"/. "$unstable"/. "$work/lint/"
lint() {
  local status=0
  { echo 'set -e; cd /tmp/lint; lintian --version'
    # E: and W: fail, overridden ones not (Debian 12's lintian exits 2 for them).
    echo 'l() { lintian --display-info --pedantic --show-overrides "$@" >o; s=$?; cat o; [ $s -le 2 ] && ! grep -q "^[EW]: " o; }'
    echo "$2"; } >"$work/lint/$1.sh"
  # shellcheck disable=SC2016 # expanded by mmdebstrap's sh, with the root as $1
  bare "$1" --include=lintian,appstream --customize-hook="copy-in $work/lint /tmp" \
    --customize-hook='chroot "$1" sh /tmp/lint/'"$1.sh" >"$logs/lintian-$1.log" 2>&1 || status=$?
  grep -v -e '^running with root' -e '^N: *$' "$logs/lintian-$1.log" | sed "s/^/  $1: /"
  return $status
}
lint bookworm 'l --suppress-tags newer-standards-version *_source.changes *~deb12u1_*.changes *~deb12u1_*.deb' &
lane=$! status=0
lint trixie 'l --suppress-tags newer-standards-version *_source.changes *~deb13u1_*.changes *~deb13u1_*.deb' || status=1
lint unstable 'l --suppress-tags appstream-metadata-validation-failed *~deb12u1_*.changes *~deb12u1_*.deb
  l $(ls *.changes *.deb | grep -v "~deb12u1_")' || status=1
wait $lane || status=1
((!status)) || { echo "FAIL: lintian"; exit 1; }
for deb in "$dist"/tavrik_*.deb "$unstable"/tavrik_*.deb; do
  [ -e "$deb" ] || continue
  rm -rf "$work/root" && dpkg-deb -x "$deb" "$work/root"
  # Its tags are failures but no-fortify-functions and no control-flow
  # protection, Debian's lot (docs/release.md); stderr: objdump on other processors.
  tags=$(hardening-check --lintian --nocfprotection "$work/root/usr/bin/tavrik" 2>/dev/null | cut -d: -f1)
  grep -vx no-fortify-functions <<<"$tags" | grep . && { echo "FAIL: hardening-check on ${deb##*/}"; exit 1; }
  echo "${deb##*/}: $(stat -c %s "$deb") bytes; hardening-check: PIE, stack protector, RELRO, BIND_NOW$(
    grep -q no-fortify <<<"$tags" || echo ', fortify')"
done
for log in "$logs"/*.build; do
  blhc --all --debian --line-numbers "$log" || { echo "FAIL: blhc on ${log##*/}"; exit 1; }
done
echo "blhc: every compile and link of the $(ls "$logs"/*.build | wc -l) builds hardened"
fi

cd "$dist"
find . -maxdepth 1 -type f ! -name SHA256SUMS ! -name '*.buildinfo' ! -name '*.changes' -printf '%f\n' |
  LC_ALL=C sort | xargs sha256sum >SHA256SUMS
echo "release $version in $dist:" && ls -l --time-style=+ | awk 'NR > 1 {print "  " $5, $6}'
