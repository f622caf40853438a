#!/usr/bin/env bash
# Every check as a new user on each supported release would run it: for
# Debian 12 (bookworm) and 13 (trixie), a fresh minimal system (debootstrap
# --variant=minbase, see scripts/chroot.sh), a clone of this checkout's HEAD
# in it, then scripts/test.sh and scripts/check.sh with short fuzzing.
# Skipped inside a chroot (no nesting), and for a release whose archive
# cannot be reached. CI runs it after the checks on this machine.
# Usage: scripts/distributions.sh [RELEASE...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/chroot.sh
if inside_chroot; then
  echo "SKIPPED: the distributions step (already inside a chroot; no nesting)"
  exit 0
fi
releases=("$@")
((${#releases[@]})) || releases=(bookworm trixie)
mkdir -p build
failed=()
for release in "${releases[@]}"; do
  log=$PWD/build/distributions-$release.log
  start=$SECONDS
  echo "== Debian $release: fresh clone, scripts/test.sh, scripts/check.sh (log: $log)"
  status=0
  (
    status=0
    chroot_start "$release" || status=$?
    ((status == 2)) && exit 77   # the archive cannot be reached
    ((status == 0)) || exit "$status"
    git clone -q --no-hardlinks "$PWD" "$root/root/tavrik"
    root_env=(CI="${CI:-}" TAVRIK_WERROR="${TAVRIK_WERROR:-}" FUZZ_SECONDS=5)
    # Bounded: a hung step ends the run instead of CI's.
    in_root 'cd /root/tavrik &&
      timeout 1200 scripts/test.sh &&
      timeout 1200 scripts/check.sh' >"$log" 2>&1
  ) || status=$?
  minutes=$(((SECONDS - start) / 60)) seconds=$(((SECONDS - start) % 60))
  case $status in
    0)
      grep -E '^(== |100% tests passed|fuzz_|all checks passed|PASS|SKIPPED|metadata valid)' "$log" |
        sed 's/^/  /'
      echo "Debian $release: passed in ${minutes}m${seconds}s" ;;
    77) echo "Debian $release: skipped" ;;
    *)
      tail -60 "$log" 2>/dev/null || true
      echo "FAIL: Debian $release (status $status, after ${minutes}m${seconds}s; log: $log)"
      failed+=("$release") ;;
  esac
done
((${#failed[@]} == 0)) || { echo "FAIL: ${failed[*]}"; exit 1; }
