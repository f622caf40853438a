#!/usr/bin/env bash
# The release made twice and compared, reprotest, autopkgtest and piuparts
# (docs/release.md#reproducible, docs/testing.md). Then the first release is
# in dist/ and build/unstable/, the logs in build/trials/. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bare.sh
ensure_packages "${release_packages[@]}" "${windows_packages[@]}" "${reproduce_packages[@]}"
work=$(mktemp -d /var/tmp/tavrik-reproduce.XXXXXX) store=$PWD/build/reprotest logs=$PWD/build/trials
trap 'rm -rf "$work"' EXIT
rm -rf "$store" "$logs" && mkdir -p "$store" "$logs"

for run in first second; do
  echo "== the $run release"
  git clone -q --no-hardlinks . "$work/$run/tavrik"
  (cd "$work/$run/tavrik" && TAVRIK_UNCHECKED=${checked:-} scripts/release.sh) | sed -u 's/^/  /' && checked=1
done
first=$work/first/tavrik second=$work/second/tavrik
files() { (cd "$1" && find dist build/unstable -type f | sort); }
diff <(files "$first") <(files "$second") || { echo "FAIL: the releases hold other files"; exit 1; }
for file in $(files "$first"); do
  cmp -s "$first/$file" "$second/$file" && continue
  # Build-Date, and in a .changes the checksums of the .buildinfo it lists.
  differing=$(diff <(grep -v -e '^Build-Date: ' -e '\.buildinfo$' "$first/$file") \
    <(grep -v -e '^Build-Date: ' -e '\.buildinfo$' "$second/$file") || true)
  [[ $file == *.buildinfo || $file == *.changes ]] && [ -z "$differing" ] && continue
  diffoscope "$first/$file" "$second/$file" | tee "$store/${file##*/}.diffoscope" | head -60 || true
  echo "FAIL: $file differs (diffoscope's view: $store/${file##*/}.diffoscope)" && exit 1
done
echo "reproducible: $(files "$first" | wc -l) files, the same bytes but for the records' Build-Date"
rm -rf dist build/unstable && cp -a "$first/dist" dist && cp -a "$first/build/unstable" build/
dpkg-source -x dist/tavrik_*.dsc "$work/source" >/dev/null

echo "== reprotest on the Debian 13 build"
# shellcheck disable=SC2016 # expanded by mmdebstrap's sh, with the root as $1
bare trixie --include=build-essential,reprotest,diffoscope-minimal,faketime,sudo \
  --customize-hook='mkdir -p "$1/build/tree"' --customize-hook="copy-in $work/source /build/tree" \
  --customize-hook='chroot "$1" sh -c "cd /build/tree/source && apt-get build-dep -y -q --no-install-recommends \
    ./ && useradd -m builder && mkdir /build/store && { DEB_BUILD_OPTIONS=nocheck reprotest \
    --store-dir=/build/store --min-cpus=$(nproc) \
    --vary=-fileordering,user_group.available+=builder:builder,domain_host.use_sudo=1 \
    -c \"cd source && dpkg-buildpackage -b -us -uc\" /build/tree \"*.deb\" -- null; \
    echo \$? >/build/store/status; }"' \
  --customize-hook="copy-out /build/store $store" >"$logs/reprotest.log" 2>&1 || true
[ "$(cat "$store/store/status" 2>/dev/null)" = 0 ] ||
  { tail -40 "$logs/reprotest.log"; echo "FAIL: reprotest on the Debian 13 build (log: $logs/reprotest.log)"; exit 1; }
grep -E '^(Reproduc|=======)' "$logs/reprotest.log" | sed 's/^/  /'

native=$(dpkg --print-architecture) lanes=() failed=0
# trial DEB: debian/tests on a bare system of its release and architecture;
# for Debian 12 and 13 amd64, piuparts (Debian 13's debconf leaves an empty
# tmp.ci, which Debian 13's own piuparts ignores too).
trial() {
  local deb=$1 release arch start=$SECONDS
  case $deb in *~deb12*) release=bookworm ;; *~deb13*) release=trixie ;; *) release=unstable ;; esac
  arch=$(dpkg-deb -f "$deb" Architecture)
  run_logged "$logs/autopkgtest-$release-$arch.log" autopkgtest -U -o "$logs/autopkgtest-$release-$arch" \
    "$deb" "$work/source/" -- unshare --arch "$arch" --release "$release" \
    --tarball "$(tarball "$release" minbase "$arch")" || return 1
  echo "autopkgtest on Debian $release $arch, in $((SECONDS - start)) s:" \
    "$(sed -n '/@@@ summary/,$ s/^\([a-z]*\) *PASS.*/\1 passed/p' "$logs/autopkgtest-$release-$arch.log" | paste -sd,)"
  [ "$release" != unstable ] && [ "$arch" = "$native" ] || return 0
  # The package from a repository of its own, for an upgrade from it.
  mkdir -p "$work/repo-$release" && cp "$deb" "$work/repo-$release/"
  (cd "$work/repo-$release" && dpkg-scanpackages . >Packages 2>/dev/null)
  local piuparts=(piuparts -m http://deb.debian.org/debian --ignore=/var/cache/debconf/tmp.ci/
    --bindmount="$work/repo-$release" --extra-repo="deb [trusted=yes] file://$work/repo-$release ./")
  if [ $release = bookworm ]; then
    run_logged "$logs/piuparts-bookworm.log" "${piuparts[@]}" --basetgz="$(tarball bookworm minbase)" \
      -d bookworm "$deb" || return 1
    run_logged "$logs/piuparts-upgrade.log" "${piuparts[@]}" --basetgz="$(tarball bookworm minbase)" \
      -d bookworm -d trixie dist/tavrik_*~deb13u1_"$native".deb || return 1
    echo "piuparts: Debian 12 install, remove and purge; upgrade to Debian 13 and its package passed"
  else
    # A later Debian revision: the same files under version 1.00-2.
    dpkg-deb -R "$deb" "$work/later" && sed -i 's/^Version: .*/Version: 1.00-2/' "$work/later/DEBIAN/control"
    dpkg-deb -b --root-owner-group "$work/later" "$work/tavrik_1.00-2_$arch.deb" >/dev/null
    run_logged "$logs/piuparts-trixie.log" "${piuparts[@]}" --basetgz="$(tarball trixie minbase)" -d trixie \
      "$work/tavrik_1.00-2_$arch.deb" || return 1
    echo "piuparts: Debian 13 install, remove and purge; upgrade to a later revision passed"
  fi
}
# Side by side, the longest in lanes of their own: another processor's under
# qemu (minutes of one core), and Debian 12's with its two piuparts runs.
for deb in dist/tavrik_*.deb; do
  case $deb in *_arm64.deb | *_armhf.deb | *~deb12u1_"$native".deb)
    trial "$deb" >"$logs/${deb##*/}.trial" 2>&1 & lanes+=($!) ;; esac
done
for deb in dist/tavrik_*~deb13u1_"$native".deb build/unstable/tavrik_*_"$native".deb; do
  [ ! -e "$deb" ] || trial "$deb" || failed=1
done
for pid in "${lanes[@]}"; do wait "$pid" || failed=1; done
cat "$logs"/*.trial
((!failed))
