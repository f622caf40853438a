#!/usr/bin/env bash
# The release (scripts/release.sh) made twice and compared, then tried as
# Debian tries packages:
# - reprotest makes it from a fresh clone of HEAD, then again in another
#   folder, later, with another umask, time zone, locale and home; diffoscope
#   compares (build/reprotest/). Only the records (.buildinfo, .changes) may
#   differ, in their Build-Date alone.
# - autopkgtest runs debian/tests on each package, Debian unstable's too, on a
#   bare system of its release and architecture (arm64 under qemu).
# - piuparts installs, removes and purges the Debian 12 and 13 packages.
# The first release is then in dist/ (unstable's in build/unstable/).
# Needs root (piuparts).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bare.sh
ensure_packages "${release_packages[@]}" "${windows_packages[@]}" "${reproduce_packages[@]}"
work=$(mktemp -d /var/tmp/tavrik-reproduce.XXXXXX) store=$PWD/build/reprotest logs=$PWD/build/trials
trap 'rm -rf "$work"' EXIT
git clone -q --no-hardlinks . "$work/tavrik"
rm -rf "$store" "$logs" && mkdir -p "$logs"
# Not varied: the clock (apt refuses an archive signed in its future), the
# processors and kernel (the bare systems run apt and dpkg), the file order
# (disorderfs needs FUSE), the user (there is one) and the host name
# (reprotest changes it in a user namespace, where mmdebstrap's root mode fails).
status=0
(cd "$work/tavrik" && TMPDIR=$work reprotest --min-cpus="$(nproc)" --store-dir="$store" \
  --vary=-time,-num_cpus,-kernel,-fileordering,-user_group,-domain_host \
  -s . scripts/release.sh 'dist/* build/unstable/*') || status=$?
((status <= 1)) || { echo "FAIL: reprotest could not make both releases"; exit 1; } # 1: they differ
first=$store/control/source-root second=$store/experiment-1/source-root
files() { (cd "$1" && find dist build/unstable -type f | sort); }
diff <(files "$first") <(files "$second") || { echo "FAIL: the releases hold other files"; exit 1; }
for file in $(files "$first"); do
  cmp -s "$first/$file" "$second/$file" && continue
  # Build-Date, and in a .changes the checksums of the .buildinfo it lists.
  differing=$(diff <(grep -v -e '^Build-Date: ' -e '\.buildinfo$' "$first/$file") \
    <(grep -v -e '^Build-Date: ' -e '\.buildinfo$' "$second/$file") || true)
  [[ $file == *.buildinfo || $file == *.changes ]] && [ -z "$differing" ] ||
    { echo "$differing"; echo "FAIL: $file differs (diffoscope's view: $store/experiment-1.diffoscope.out)"; exit 1; }
done
echo "reproducible: $(files "$first" | wc -l) files, the same bytes from both releases but for the" \
  "records' Build-Date (diffoscope's view above, and in $store)"
rm -rf dist build/unstable && cp -a "$first/dist" dist && cp -a "$first/build/unstable" build/

dpkg-source -x dist/tavrik_*.dsc "$work/source" >/dev/null
native=$(dpkg --print-architecture) lanes=() failed=0
# trial DEB: debian/tests on the package, on a bare system of its own release
# and architecture; then for Debian 12 and 13, piuparts: install, remove and
# purge leave nothing behind (Debian 13's debconf leaves an empty tmp.ci,
# which Debian 13's piuparts ignores too).
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
  run_logged "$logs/piuparts-$release.log" piuparts --basetgz="$(tarball "$release" minbase)" \
    -d "$release" -m http://deb.debian.org/debian --ignore=/var/cache/debconf/tmp.ci/ "$deb" || return 1
  echo "piuparts on Debian $release: install, remove and purge passed"
}
# Another processor's under qemu (minutes of one core) beside the others.
for deb in dist/tavrik_*.deb; do
  [[ $deb == *_"$native".deb ]] || { trial "$deb" >"$logs/${deb##*/}.trial" 2>&1 & lanes+=($!); }
done
for deb in dist/tavrik_*_"$native".deb build/unstable/tavrik_*_"$native".deb; do
  [ ! -e "$deb" ] || trial "$deb" || failed=1
done
for pid in "${lanes[@]}"; do wait "$pid" || failed=1; done
cat "$logs"/*.trial
((!failed))
