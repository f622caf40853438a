#!/usr/bin/env bash
# The release (scripts/release.sh) made twice and compared, then tried as
# Debian tries a package:
# - reprotest makes it from a fresh clone of HEAD, then again in another
#   folder, later, with another umask, time zone, locale and home, and
#   compares every file with diffoscope (its report in build/reprotest/).
#   Only the build records (.buildinfo, .changes) may differ, and only in
#   their Build-Date: every other file must be the same bytes.
# - autopkgtest runs debian/tests on each package, Debian unstable's too, in a
#   bare system of its release and architecture (arm64 under qemu): the
#   package alone brings all the program loads, and the installed program
#   passes the smoke test.
# - piuparts installs, removes and purges the Debian 12 and 13 packages on
#   bare systems and finds nothing left behind.
# The first release is then in dist/, Debian unstable's build in
# build/unstable/. Needs root (piuparts).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bare.sh
ensure_packages "${release_packages[@]}" "${windows_packages[@]}" "${reproduce_packages[@]}"
work=$(mktemp -d /var/tmp/tavrik-reproduce.XXXXXX) store=$PWD/build/reprotest logs=$PWD/build/trials
trap 'rm -rf "$work"' EXIT
git clone -q --no-hardlinks . "$work/tavrik"
rm -rf "$store" "$logs" && mkdir -p "$logs"
# Not varied: the clock (apt refuses an archive signed in its future), the
# processor count and kernel (the builds' bare systems run apt and dpkg), the
# file order (disorderfs needs FUSE), the user (no second one here) and the
# host name (reprotest's user namespace breaks sbuild's).
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
echo "reproducible: $(files "$first" | wc -l) files, the same bytes from" \
  "both releases but for the records' Build-Date (diffoscope's view):"
sed 's/^/  /' "$store/experiment-1.diffoscope.out" 2>/dev/null || true
rm -rf dist build/unstable && cp -a "$first/dist" dist && cp -a "$first/build/unstable" build/

dpkg-source -x dist/*.dsc "$work/source" >/dev/null
# trial DEB: debian/tests on the package, in a bare system of its own release
# and architecture.
trial() {
  local deb=$1 release arch log
  case $deb in *~deb12*) release=bookworm ;; *~deb13*) release=trixie ;; *) release=unstable ;; esac
  arch=$(dpkg-deb -f "$deb" Architecture) log=$logs/autopkgtest-$release-$arch.log
  local start=$SECONDS testbed
  testbed=$(tarball "$release" minbase "$arch") || return 1
  if ! autopkgtest -U -o "$logs/autopkgtest-$release-$arch" "$deb" "$work/source/" -- \
    unshare --arch "$arch" --release "$release" --tarball "$testbed" >"$log" 2>&1; then
    tail -40 "$log"
    echo "FAIL: autopkgtest on ${deb##*/} (log: $log)"
    return 1
  fi
  echo "autopkgtest on Debian $release $arch: $(sed -n '/@@@ summary/,$ s/^\([a-z]*\) *PASS.*/\1/p' "$log" |
    paste -sd' ') passed in $((SECONDS - start)) s"
}
# piuparts RELEASE DEB
piuparts_on() {
  local log=$logs/piuparts-$1.log start=$SECONDS
  # Debian 13's debconf leaves an empty tmp.ci behind; piuparts of Debian 13 ignores it too.
  if ! piuparts --basetgz="$(tarball "$1" minbase)" -d "$1" -m http://deb.debian.org/debian \
    --ignore=/var/cache/debconf/tmp.ci/ "$2" >"$log" 2>&1; then
    tail -40 "$log"
    echo "FAIL: piuparts on ${2##*/} (log: $log)"
    return 1
  fi
  echo "piuparts on Debian $1: install, remove, purge passed in $((SECONDS - start)) s"
}

# Another processor's under qemu (minutes of one core) beside the others.
native=$(dpkg --print-architecture) lanes=() failed=0
for deb in dist/tavrik_*.deb; do
  [[ $deb == *_"$native".deb ]] || { trial "$deb" >"$logs/${deb##*/}.trial" 2>&1 & lanes+=($!); }
done
for deb in dist/tavrik_*_"$native".deb build/unstable/tavrik_*_"$native".deb; do
  [ -e "$deb" ] && { trial "$deb" || failed=1; }
done
piuparts_on bookworm dist/tavrik_*~deb12u1_"$native".deb || failed=1
piuparts_on trixie dist/tavrik_*~deb13u1_"$native".deb || failed=1
for pid in "${lanes[@]}"; do wait "$pid" || failed=1; done
cat "$logs"/*.trial
((!failed))
