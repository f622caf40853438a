# Sourced: fresh Debian systems made by mmdebstrap, to build and try the
# program on as a new user's machine, or Debian's build daemons, would have it.
#
#   bare RELEASE MMDEBSTRAP-OPTION...  makes a bare (minbase) RELEASE system in
#       a temporary folder, runs the options' hooks on it (--customize-hook:
#       'chroot "$1" COMMAND' runs inside, with /dev, /proc and /sys mounted;
#       upload and download copy files in and out), then removes it, whatever
#       happened. Fails when a hook fails. Needs root. Downloaded packages are
#       kept in $TAVRIK_CACHE/bare/RELEASE, so a rerun downloads only the
#       package lists; runs on one release wait for each other.
#   tarball RELEASE VARIANT [ARCH]  prints the path of a bare RELEASE system
#       for ARCH (default: this machine's) as a tarball, made on first use and
#       kept in $TAVRIK_CACHE/tarballs: VARIANT buildd for sbuild, minbase for
#       autopkgtest and piuparts (gzip, which piuparts needs). Those tools
#       update and upgrade it before each use. Another architecture runs under
#       qemu, through binfmt_misc.
#   mmdebstrap_options RELEASE  prints the options a release needs: the
#       unstable archive these machines reach is a fixed snapshot whose
#       Release file has expired, so apt is told to accept it there alone.
#   inside_chroot  true when this very process runs in a chroot (ours or
#       another): steps that make bare systems skip there, no nesting.

source "$(dirname "${BASH_SOURCE[0]}")/packages.sh"
if [ "$(id -u)" -eq 0 ]; then
  TAVRIK_CACHE=${TAVRIK_CACHE:-/var/cache/tavrik}
else
  TAVRIK_CACHE=${TAVRIK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tavrik}
fi

inside_chroot() {
  # Ours carry a mark; ischroot (debianutils) knows the others when it can
  # compare with pid 1's root, and says so only then.
  [ -e /etc/tavrik-chroot ] || ischroot 2>/dev/null
}

mmdebstrap_options() {
  [ "$1" != sid ] && [ "$1" != unstable ] || echo "--aptopt=Acquire::Check-Valid-Until \"false\""
}

bare() (
  release=$1 cache=$TAVRIK_CACHE/bare/$1
  shift
  mkdir -p "$cache"
  exec {lock}>"$cache.lock"
  flock -w 3600 "$lock" || { echo "gave up waiting for another run on $release" >&2; return 1; }
  mapfile -t options < <(mmdebstrap_options "$release")
  mmdebstrap --quiet --variant=minbase --skip=essential/unlink "${options[@]}" \
    --setup-hook='mkdir -p "$1/var/cache/apt/archives"' \
    --setup-hook="sync-in $cache /var/cache/apt/archives/" \
    --customize-hook='touch "$1/etc/tavrik-chroot"' \
    "$@" \
    --customize-hook="sync-out /var/cache/apt/archives $cache" \
    "$release" /dev/null
)

tarball() (
  release=$1 variant=$2 arch=${3:-$(dpkg --print-architecture)}
  out=$TAVRIK_CACHE/tarballs/$release-$arch-$variant.tar.zst
  [ "$variant" != minbase ] || out=${out%.zst}.gz
  mkdir -p "${out%/*}"
  exec {lock}>"$out.lock"
  flock -w 3600 "$lock" || { echo "gave up waiting for $out" >&2; return 1; }
  if [ ! -s "$out" ]; then
    if [ "$arch" != "$(dpkg --print-architecture)" ]; then
      [ -e /proc/sys/fs/binfmt_misc/status ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
      update-binfmts --enable >/dev/null 2>&1 || true # as at boot: what binfmt-support imported
      arch-test "$arch" >/dev/null || { echo "this machine cannot run $arch programs" >&2; return 1; }
    fi
    echo "making a bare $release $arch system ($variant) in $out (once)" >&2
    mapfile -t options < <(mmdebstrap_options "$release")
    part=${out%/*}/part.${out##*/} # mmdebstrap takes the format from the name's end
    run_logged "$out.log" mmdebstrap --variant="$variant" --architectures="$arch" "${options[@]}" \
      "$release" "$part" >&2
    mv "$part" "$out"
  fi
  echo "$out"
)
