# Sourced: fresh minimal Debian systems (mmdebstrap --variant=minbase), made
# for one use and removed after it, to build and try the program on as a new
# user's machine would be.
#
#   bare RELEASE[/ARCH,...] MMDEBSTRAP-OPTION...  makes a bare RELEASE system
#       in a temporary folder, runs the options' hooks on it (--customize-hook:
#       'chroot "$1" COMMAND' runs inside, with /dev, /proc and /sys mounted;
#       upload and download copy files in and out), then removes it, whatever
#       happened. Fails when a hook fails. Needs root. ARCHs: the system's
#       architecture, then any others dpkg gets (default: this machine's).
#       A system of another architecture runs under qemu, through binfmt_misc.
#   inside_chroot  true when this very process runs in a chroot (ours or
#       another): steps that make bare systems skip there, no nesting.
#
# Downloaded packages are kept in $TAVRIK_BARE_CACHE, one folder per release
# (and foreign architecture), so a rerun downloads only the package lists.
# Runs on one release wait for each other, since they share that cache.

source "$(dirname "${BASH_SOURCE[0]}")/packages.sh"
TAVRIK_BARE_CACHE=${TAVRIK_BARE_CACHE:-/var/cache/tavrik/bare}

inside_chroot() {
  # Ours carry a mark; ischroot (debianutils) knows the others when it can
  # compare with pid 1's root, and says so only then.
  [ -e /etc/tavrik-chroot ] || ischroot 2>/dev/null
}

bare() (
  release=${1%%/*} arches=${1#*/}
  [ "$arches" != "$1" ] || arches=$(dpkg --print-architecture)
  cache=$TAVRIK_BARE_CACHE/$release
  shift
  ensure_packages mmdebstrap
  if [ "${arches%%,*}" != "$(dpkg --print-architecture)" ]; then
    cache+=-${arches%%,*}
    ensure_packages qemu-user-static binfmt-support arch-test
    [ -e /proc/sys/fs/binfmt_misc/status ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    update-binfmts --enable >/dev/null 2>&1 || true # as at boot: what binfmt-support imported
    arch-test "${arches%%,*}" >/dev/null || { echo "this machine cannot run ${arches%%,*} programs" >&2; return 1; }
  fi
  mkdir -p "$cache"
  exec {lock}>"$cache.lock"
  flock -w 3600 "$lock" || { echo "gave up waiting for another run on $release" >&2; return 1; }
  mmdebstrap --quiet --variant=minbase --architectures="$arches" --skip=essential/unlink \
    --setup-hook='mkdir -p "$1/var/cache/apt/archives"' \
    --setup-hook="sync-in $cache /var/cache/apt/archives/" \
    --customize-hook='touch "$1/etc/tavrik-chroot"' \
    "$@" \
    --customize-hook="sync-out /var/cache/apt/archives $cache" \
    "$release" /dev/null
)
