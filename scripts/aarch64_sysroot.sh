#!/usr/bin/env bash
# Makes DIR (default build-aarch64/sysroot) a private root holding Debian's
# arm64 Qt Core, Qt Test and Highway, their development files and every
# library they load, down to the C library: what the aarch64 preset builds
# against and what qemu runs the tests on. Nothing on this machine changes:
# apt reads the arm64 package lists into DIR's own state (this machine's dpkg
# gets no arm64 architecture), the packages are only downloaded and unpacked
# there, and no root is needed. Packages come from the archive and release this
# machine's apt uses. Quiet and quick once DIR is made.
# Usage: scripts/aarch64_sysroot.sh [DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
sysroot=$(realpath -m "${1:-build-aarch64/sysroot}")
# Runtime libraries, with everything they depend on.
libraries=(libqt6core6 libqt6test6 libhwy1 libstdc++6)
# Headers, CMake package files and Qt's mkspecs, without their dependencies (Qt's would
# bring the whole arm64 graphics stack, which the core does not use).
development=(qt6-base-dev qmake6 libhwy-dev)
stamp=$sysroot/.complete
[ -e "$stamp" ] && [ "$(cat "$stamp")" = "${libraries[*]} ${development[*]}" ] && exit 0

codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
# The archive apt uses for this machine's own release (from the sources
# alone: on a fresh machine apt may have no lists yet).
mirror=$(apt-get indextargets --no-release-info --format '$(RELEASE) $(REPO_URI)' 2>/dev/null |
  awk -v c="$codename" '$1 == c {print $2; exit}')
[ -n "$mirror" ] || { echo "no Debian archive for '$codename' in apt's sources" >&2; exit 1; }
apt_dir=$sysroot.apt
rm -rf "$sysroot" "$apt_dir"
mkdir -p "$apt_dir"/{lists/partial,archives/partial,etc/preferences.d,etc/apt.conf.d} "$sysroot"
touch "$apt_dir/status"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
signed=""
[ -e "$keyring" ] && signed=" signed-by=$keyring"
echo "deb [arch=arm64$signed] $mirror $codename main" >"$apt_dir/etc/sources.list"
apt_options=(
  -o "Dir::Etc=$apt_dir/etc" -o "Dir::Etc::sourcelist=$apt_dir/etc/sources.list"
  -o Dir::Etc::sourceparts=- -o "Dir::Etc::TrustedParts=/etc/apt/trusted.gpg.d"
  -o "Dir::Etc::Trusted=/etc/apt/trusted.gpg"
  -o "Dir::State=$apt_dir" -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::State::status=$apt_dir/status" -o "Dir::Cache=$apt_dir"
  -o "Dir::Cache::archives=$apt_dir/archives"
  -o APT::Architecture=arm64 -o APT::Architectures=arm64
  -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)"
)
log=$apt_dir/apt.log
echo "making a private arm64 root in $sysroot (once)"
if ! { apt-get "${apt_options[@]}" update &&
  apt-get "${apt_options[@]}" install -y --download-only --no-install-recommends "${libraries[@]}" &&
  (cd "$apt_dir/archives" && apt-get "${apt_options[@]}" download "${development[@]}"); } \
  >"$log" 2>&1; then
  cat "$log"
  echo "FAIL: could not download the arm64 packages"
  exit 1
fi
for deb in "$apt_dir"/archives/*.deb; do dpkg-deb -x "$deb" "$sysroot"; done
# The dynamic loader where programs name it, also where the release keeps
# /lib in /usr (the base system's symbolic links are not among the packages).
for dir in lib bin sbin; do
  [ -e "$sysroot/$dir" ] || [ ! -d "$sysroot/usr/$dir" ] || ln -s "usr/$dir" "$sysroot/$dir"
done
echo "$(ls "$apt_dir"/archives/*.deb | wc -l) packages, $(du -sm "$sysroot" | cut -f1) MiB"
rm -rf "$apt_dir"
echo "${libraries[*]} ${development[*]}" >"$stamp"
