# Sourced: fresh Debian systems made by mmdebstrap, as a new user's machine or
# Debian's build daemons have them.
#   bare RELEASE MMDEBSTRAP-OPTION...  a minimal RELEASE system, the options'
#       hooks run on it ('chroot "$1" COMMAND' runs inside), then removed.
#   tarball RELEASE VARIANT [ARCH]  prints the path of a RELEASE system for
#       ARCH (default: this machine's) as a tarball, made once and kept in
#       $TAVRIK_CACHE/tarballs: buildd for sbuild (with apt-utils: else sbuild
#       copies this machine's apt solver, which Debian 13's apt cannot load),
#       minbase (gzip) for autopkgtest and piuparts, windows (minbase and
#       windows_packages) for scripts/windows.sh.
#   emulate ARCH  has this machine run ARCH's programs (qemu, binfmt_misc).
#   inside TARBALL DIR... -- COMMAND...  runs COMMAND as this user in a
#       throw-away system unpacked from TARBALL, with /dev, /proc, /sys and
#       each DIR of this machine at its own path. Needs root or sudo.
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
  release=$1 variant=$2 arch=${3:-$(dpkg --print-architecture)} options=(--variant="$2")
  case $variant in
    buildd) options+=(--include=apt-utils) ;;
    windows) options=(--variant=minbase --include="$(IFS=,; echo "${windows_packages[*]}")")
      variant=windows-$(echo "${options[*]}" | sha256sum | cut -c1-8) ;; # anew when the list changes
  esac
  out=$TAVRIK_CACHE/tarballs/$release-$arch-$variant.tar.zst
  [ "$variant" != minbase ] || out=${out%.zst}.gz
  mkdir -p "${out%/*}"
  exec {lock}>"$out.lock"
  flock "$lock"
  if [ ! -s "$out" ]; then
    emulate "$arch" || return 1
    echo "making a bare $release $arch system ($variant) in $out (once)" >&2
    part=${out%/*}/part.${out##*/} # mmdebstrap takes the format from the name's end
    run_logged "$out.log" mmdebstrap_for "$release" "$part" "${options[@]}" --architectures="$arch" >&2
    mv "$part" "$out"
  fi
  echo "$out"
)

emulate() {
  [ -e /proc/sys/fs/binfmt_misc/status ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  update-binfmts --enable >/dev/null 2>&1 || true # what binfmt-support imported
  arch-test "$1" >/dev/null || { echo "this machine cannot run $1 programs" >&2; return 1; }
}

inside() {
  local tarball=$1 dirs=() root status=0
  shift
  while [ "$1" != -- ]; do dirs+=("$1") && shift; done
  shift
  root=$(mktemp -d /var/tmp/tavrik-inside.XXXXXX)
  # The mounts live in a namespace of their own, gone with COMMAND: the
  # removal below cannot reach through them.
  # shellcheck disable=SC2016 # expanded by the inner sh
  apt_as_root tar -C "$root" -xf "$tarball" && apt_as_root unshare --mount sh -c '
    root=$1 user=$2 && shift 2
    for d in /dev /proc /sys; do mount --rbind "$d" "$root$d"; done
    while [ "$1" != -- ]; do mkdir -p "$root$1" && mount --bind "$1" "$root$1" && shift; done
    shift && exec chroot --userspec="$user" "$root" "$@"' sh "$root" "$(id -u):$(id -g)" "${dirs[@]}" -- "$@" ||
    status=$?
  apt_as_root rm -rf --one-file-system "$root"
  return $status
}
