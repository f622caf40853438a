#!/usr/bin/env bash
# Tavrik's release of the checked-out commit, into DIST (default dist/): the
# source package (the commit without debian/ as tavrik_V.orig.tar.gz, which
# names the commit; debian/ beside it); the packages sbuild builds from it on
# bare Debian 12 (amd64; arm64 cross-built) and 13, tests run; the Windows zip
# and installer built from it, with the Debian sources of the Qt and Highway
# in them (scripts/windows.sh --release); each build's record (.buildinfo,
# .changes); SHA256SUMS of all but the records. A build on a bare Debian
# unstable, into build/unstable/, shows the source ready for the archive.
# Dates are the newest changelog entry's: two releases are the same bytes but
# for the records' Build-Date (scripts/reproduce.sh). Then lintian,
# hardening-check and blhc. Needs root or sudo, and user namespaces.
# Usage: scripts/release.sh [DIST]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bare.sh
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
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -S Timestamp) upstream=${version%-*}
export SOURCE_DATE_EPOCH
rm -rf "$dist" "$logs" "$unstable" && mkdir -p "$dist" "$logs" "$unstable"
work=$(mktemp -d /var/tmp/tavrik-release.XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "== the source package"
git archive --prefix="tavrik-$upstream/" HEAD -- . ':!debian' | gzip -9n >"$work/tavrik_$upstream.orig.tar.gz"
tar -C "$work" -xzf "$work/tavrik_$upstream.orig.tar.gz"
git archive HEAD debian | tar -C "$work/tavrik-$upstream" -x
# In a fixed environment, which its record lists.
(cd "$work/tavrik-$upstream" && run_logged "$logs/source.log" env -i PATH="$PATH" LC_ALL=C.UTF-8 \
  SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH" dpkg-buildpackage -S -us -uc -d -nc)
mv "$work"/tavrik_* "$dist/"
dsc=$dist/tavrik_$version.dsc

# build RELEASE ARCH [SUFFIX DEBIAN]: sbuild's build of the source package for
# ARCH on a bare RELEASE, into $work/RELEASE-ARCH. A SUFFIX makes it a binary
# rebuild of its own version (1.00-1~deb12u1), dated as the source: room for a
# rebuild (u2), and upgrades from release to release.
build() {
  local release=$1 arch=$2 out=$work/$1-$2 log=$logs/$1-$2.build chroot binnmu=() status=0
  [ -z "${3:-}" ] || binnmu=(--append-to-version="$3" --make-binNMU="Built for $4." --binNMU=0
    --binNMU-timestamp="$SOURCE_DATE_EPOCH")
  chroot=$(tarball "$release" buildd) || return 1
  mkdir -p "$out"
  # sbuild sets LC_ALL, and passes LANG on to the build's record: C.UTF-8 too.
  (cd "$out" && LANG=C.UTF-8 sbuild --chroot-mode=unshare --chroot="$chroot" --dist="$release" \
    --host="$arch" --maintainer="$maintainer" "${binnmu[@]}" --build-path=/build/tavrik \
    --no-run-lintian --no-run-autopkgtest --no-run-piuparts "$dsc") >"$log.out" 2>&1 || status=$?
  cp "$out"/*Z.build "$log" 2>/dev/null && rm "$log.out" || mv "$log.out" "$log" # or what sbuild said
  if [ $status != 0 ] && [ "$release" = unstable ] && grep -q '^Fail-Stage: install-deps' "$log"; then
    mv "$log" "$logs/unstable-uninstallable.log"
    echo "Debian unstable: build dependencies not installable today, not built ($logs/unstable-uninstallable.log)"
  elif [ $status != 0 ]; then
    tail -40 "$log"
    echo "FAIL: the build for $release $arch (log: $log)"
    return 1
  else
    echo "$release $arch: built$(sed -n 's/^100% tests passed, 0 tests failed out of/, tests passed:/p' "$log")"
  fi
}

echo "== the packages, built by sbuild, and the Windows program"
# Side by side: most of each build is dpkg, on one core.
{
  build bookworm amd64 "~deb12u1" "Debian 12" && build bookworm arm64 "~deb12u1" "Debian 12" &&
    dpkg-source -x "$dsc" "$work/windows" >/dev/null &&
    (cd "$work/windows" && run_logged "$logs/windows.log" scripts/windows.sh --release "$dist")
} & lane=$!
failed=0
{ build trixie amd64 "~deb13u1" "Debian 13" && build unstable amd64; } || failed=1
wait $lane || failed=1
((!failed))
for out in "$work"/*-*/; do
  [[ $out == */unstable-* ]] && to=$unstable || to=$dist
  mv "$out"/*.deb "$out"/*.buildinfo "$out"/*.changes "$to/" 2>/dev/null || true
done

echo "== lintian, hardening-check and blhc"
# Debian unstable's lintian, as the archive runs the newest, on every .changes:
# it knows every tag, so one set of overrides (in debian/, each with its
# reason) serves all. Pedantic and informational tags are shown too.
mkdir "$work/lint" && cp -a "$dist"/. "$unstable"/. "$work/lint/"
# shellcheck disable=SC2016 # expanded by mmdebstrap's sh, with the root as $1
bare unstable --include=lintian,appstream --customize-hook="copy-in $work/lint /tmp" \
  --customize-hook='chroot "$1" sh -c "cd /tmp/lint && lintian --version && lintian \
    --fail-on error,warning --display-info --pedantic --show-overrides *.changes"' 2>&1 |
  grep -v -e '^running with root' -e '^N: *$' | sed 's/^/  /' || { echo "FAIL: lintian"; exit 1; }
for deb in "$dist"/tavrik_*.deb "$unstable"/tavrik_*.deb; do
  [ -e "$deb" ] || continue
  rm -rf "$work/root" && dpkg-deb -x "$deb" "$work/root"
  # No Debian program is marked for control-flow protection: the C library's
  # start files lack the mark, which the linker keeps only if every part has it.
  if ! report=$(hardening-check --nocfprotection --verbose "$work/root/usr/bin/tavrik" 2>/dev/null); then
    # Fortify fails where the only calls it knows copy sizes known at run time
    # alone (the string code's memcpy, memmove, memset): nothing it can check.
    # blhc, below, shows the flag reached every compile.
    others=$(grep ': no, ' <<<"$report" | grep -v -e 'Fortify.*only unprotected' -e '(ignored)$' || true)
    unchecked=$(grep 'unprotected: ' <<<"$report" | grep -v 'unprotected: mem\(cpy\|move\|set\)$' || true)
    [ -z "$others$unchecked" ] || { echo "$report"; echo "FAIL: hardening-check on ${deb##*/}"; exit 1; }
  fi
  echo "${deb##*/}: $(stat -c %s "$deb") bytes; hardening-check: PIE, stack protector, fortify, RELRO, BIND_NOW"
done
for log in "$logs"/*.build; do
  blhc --all --debian --line-numbers "$log" || { echo "FAIL: blhc on ${log##*/}"; exit 1; }
done
echo "blhc: every compile and link of the $(ls "$logs"/*.build | wc -l) builds hardened"

cd "$dist"
find . -maxdepth 1 -type f ! -name SHA256SUMS ! -name '*.buildinfo' ! -name '*.changes' -printf '%f\n' |
  LC_ALL=C sort | xargs sha256sum >SHA256SUMS
echo "release $version in $dist:" && ls -l --time-style=+ | awk 'NR > 1 {print "  " $5, $6}'
