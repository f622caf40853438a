# Sourced: minimal Debian systems (debootstrap --variant=minbase) to try the
# package and the whole build on, as a new user's machine would be.
#
#   chroot_start RELEASE   unpacks a pristine copy of the bare RELEASE system
#                          into $root, mounts /proc, /sys and /dev in it and
#                          arranges (trap on EXIT) for everything to be
#                          unmounted and removed however the caller ends.
#                          Returns 2, having said why, when the Debian archive
#                          cannot be reached: the caller skips its step then.
#   in_root COMMAND...     runs a bash command line as root inside $root, with a
#                          clean environment (plus the variables in $root_env).
#   inside_chroot          true when this very process already runs in a chroot
#                          (ours or another): chroot steps skip there, no nesting.
#
# The bare systems are made once, from the archive this machine's apt uses, and
# kept as tarballs in $TAVRIK_CHROOT_CACHE with a package cache per release, so
# a rerun downloads only the package lists. Runs on one release wait for each
# other, since they share that cache. Needs root.

source "$(dirname "${BASH_SOURCE[0]}")/packages.sh"

TAVRIK_CHROOT_CACHE=${TAVRIK_CHROOT_CACHE:-/var/cache/tavrik/chroots}
TAVRIK_CHROOT_WORK=${TAVRIK_CHROOT_WORK:-/var/tmp/tavrik-chroots}
root="" root_env=()

inside_chroot() {
  # Our own systems carry a mark; ischroot (debianutils) knows the others when
  # it can compare with pid 1's root, and says so only then.
  [ -e /etc/tavrik-chroot ] || ischroot 2>/dev/null
}

# The archive apt uses for this machine's own release, e.g. http://deb.debian.org/debian/
# (from the sources alone: on a fresh machine apt may have no lists yet)
debian_mirror() {
  local codename mirror
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  mirror=$(apt-get indextargets --no-release-info --format '$(RELEASE) $(REPO_URI)' 2>/dev/null |
    awk -v c="$codename" '$1 == c {print $2; exit}')
  [ -n "$mirror" ] || { echo "no Debian archive for '$codename' in apt's sources" >&2; return 1; }
  echo "$mirror"
}

# Prints the tarball of the bare RELEASE system, making it first if needed.
# Returns 2 when the archive cannot be reached.
chroot_tarball() {
  local release=$1 mirror tarball dir log probe
  mirror=$(debian_mirror) || return 1
  probe=$(mktemp)
  if ! timeout 60 /usr/lib/apt/apt-helper download-file "${mirror}dists/$release/Release" "$probe" \
      >/dev/null 2>&1; then
    rm -f "$probe"
    echo "SKIPPED: the Debian archive ${mirror} cannot be reached for $release" >&2
    return 2
  fi
  rm -f "$probe"
  tarball=$TAVRIK_CHROOT_CACHE/$release.tar.zst
  if [ ! -s "$tarball" ]; then
    ensure_packages debootstrap zstd >&2
    mkdir -p "$TAVRIK_CHROOT_CACHE" "$TAVRIK_CHROOT_CACHE/apt-$release" "$TAVRIK_CHROOT_WORK"
    dir=$(mktemp -d "$TAVRIK_CHROOT_WORK/debootstrap-$release.XXXXXX")
    log=$TAVRIK_CHROOT_WORK/debootstrap-$release.log
    echo "making a minimal $release system from $mirror (once; kept in $tarball)" >&2
    if ! timeout 900 debootstrap --variant=minbase --cache-dir="$TAVRIK_CHROOT_CACHE/apt-$release" \
        "$release" "$dir" "$mirror" >"$log" 2>&1; then
      tail -20 "$log" >&2
      echo "debootstrap $release failed (log: $log)" >&2
      chroot_unmount_all "$dir" && rm -rf "$dir"
      return 1
    fi
    tar -C "$dir" --zstd -cf "$tarball.part" . && mv "$tarball.part" "$tarball"
    rm -rf "$dir"
  fi
  echo "$tarball"
}

# Unmounts whatever is mounted at or below DIR, deepest first. Fails when
# something stays mounted (then DIR must not be removed).
chroot_unmount_all() {
  local dir mounts m
  dir=$(realpath -m "$1")
  mapfile -t mounts < <(awk -v d="$dir" '$2 == d || index($2, d "/") == 1 {print $2}' /proc/self/mounts | sort -r)
  for m in "${mounts[@]}"; do
    umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
  done
  ! awk -v d="$dir" '$2 == d || index($2, d "/") == 1 {found = 1} END {exit !found}' /proc/self/mounts
}

chroot_stop() {
  [ -n "$root" ] && [ -d "$root" ] || return 0
  # Whatever still runs in there (a server a failed step left behind) goes first.
  local p
  for p in /proc/[0-9]*; do
    if [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ]; then kill -9 "${p#/proc/}" 2>/dev/null || true; fi
  done
  if chroot_unmount_all "$root"; then
    rm -rf "$root"
  else
    echo "WARNING: could not unmount everything under $root; left in place" >&2
  fi
  root=""
}

chroot_start() {
  local release=$1 tarball status=0 lock
  # One run at a time per release: they share its package cache, whose lock
  # apt does not wait for (several developers' checks may run on one machine).
  mkdir -p "$TAVRIK_CHROOT_CACHE"
  exec {lock}>"$TAVRIK_CHROOT_CACHE/$release.lock"
  if ! flock -n "$lock"; then
    echo "waiting for another run on $release to finish..." >&2
    flock -w 1800 "$lock" || { echo "gave up waiting for $release" >&2; return 1; }
  fi
  tarball=$(chroot_tarball "$release") || status=$?
  ((status == 0)) || return "$status"
  mkdir -p "$TAVRIK_CHROOT_WORK"
  root=$(mktemp -d "$TAVRIK_CHROOT_WORK/$release.XXXXXX")
  trap chroot_stop EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  tar -C "$root" --zstd -xf "$tarball"
  mount -t proc proc "$root/proc"
  mount -t sysfs -o ro sysfs "$root/sys"
  mount --rbind /dev "$root/dev"
  mount --make-rslave "$root/dev"
  # Downloaded packages are kept between runs, one cache per release.
  mount --bind "$TAVRIK_CHROOT_CACHE/apt-$release" "$root/var/cache/apt/archives"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  touch "$root/etc/tavrik-chroot"
  # No services start in there, and apt downloads as root (the cache is shared
  # between runs, and its owner's uid may differ from this system's _apt).
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod 755 "$root/usr/sbin/policy-rc.d"
  echo 'APT::Sandbox::User "root";' >"$root/etc/apt/apt.conf.d/90tavrik-chroot"
}

in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive "${root_env[@]}" /bin/bash -c "$*"
}
