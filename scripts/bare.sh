# Sourced: fresh Debian systems made by mmdebstrap, as a new user's machine or
# Debian's build daemons have them.
#
#   bare RELEASE MMDEBSTRAP-OPTION...  a minimal RELEASE system in a temporary
#       folder, the options' hooks run on it (--customize-hook: 'chroot "$1"
#       COMMAND' runs inside; copy-in copies files in), then removed, whatever
#       happened. Fails when a hook fails.
#   tarball RELEASE VARIANT [ARCH]  prints the path of a RELEASE system for
#       ARCH (default: this machine's) as a tarball, made on first use and kept
#       in $TAVRIK_CACHE/tarballs: VARIANT buildd for sbuild, minbase (gzip,
#       as piuparts needs) for autopkgtest and piuparts, which update it before
#       each use. Another architecture runs under qemu, through binfmt_misc.
# The unstable archive these machines reach is a fixed snapshot whose Release
# file has expired: apt is told to accept it, there alone.

source "$(dirname "${BASH_SOURCE[0]}")/packages.sh"

# mmdebstrap_for RELEASE TARGET OPTION...
mmdebstrap_for() {
  local expired=()
  [[ $1 != sid && $1 != unstable ]] || expired=(--aptopt='Acquire::Check-Valid-Until "false"')
  mmdebstrap "${expired[@]}" "${@:3}" "$1" "$2"
}

bare() {
  mmdebstrap_for "$1" /dev/null --quiet --variant=minbase "${@:2}"
}

tarball() (
  release=$1 variant=$2 arch=${3:-$(dpkg --print-architecture)}
  out=$TAVRIK_CACHE/tarballs/$release-$arch-$variant.tar.zst
  [ "$variant" != minbase ] || out=${out%.zst}.gz
  mkdir -p "${out%/*}"
  exec {lock}>"$out.lock"
  flock "$lock"
  if [ ! -s "$out" ]; then
    if [ "$arch" != "$(dpkg --print-architecture)" ]; then
      [ -e /proc/sys/fs/binfmt_misc/status ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
      update-binfmts --enable >/dev/null 2>&1 || true # as at boot: what binfmt-support imported
      arch-test "$arch" >/dev/null || { echo "this machine cannot run $arch programs" >&2; return 1; }
    fi
    echo "making a bare $release $arch system ($variant) in $out (once)" >&2
    part=${out%/*}/part.${out##*/} # mmdebstrap takes the format from the name's end
    run_logged "$out.log" mmdebstrap_for "$release" "$part" --variant="$variant" --architectures="$arch" >&2
    mv "$part" "$out"
  fi
  echo "$out"
)
