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
#       The buildd systems have apt-utils: apt's solver, which sbuild copies
#       from this machine for a cross build (a Debian 12 one, which Debian
#       13's apt cannot load) unless the system has its own.
#   emulate ARCH  makes this machine run ARCH's programs (under qemu, through
#       binfmt_misc, as at boot), or says it cannot.
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
    emulate "$arch" || return 1
    echo "making a bare $release $arch system ($variant) in $out (once)" >&2
    part=${out%/*}/part.${out##*/} # mmdebstrap takes the format from the name's end
    run_logged "$out.log" mmdebstrap_for "$release" "$part" --variant="$variant" --architectures="$arch" \
      $([ "$variant" != buildd ] || echo --include=apt-utils) >&2
    mv "$part" "$out"
  fi
  echo "$out"
)

emulate() {
  [ -e /proc/sys/fs/binfmt_misc/status ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  update-binfmts --enable >/dev/null 2>&1 || true # what binfmt-support imported
  arch-test "$1" >/dev/null || { echo "this machine cannot run $1 programs" >&2; return 1; }
}
