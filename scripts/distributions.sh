#!/usr/bin/env bash
# The tests as a new user on another release would run them, and the
# sanitizer and fuzz runs with that release's compilers: a fresh minimal
# Debian RELEASE (default 13, trixie: GCC 14, clang 19, Qt 6.8; see
# scripts/bare.sh), a clone of this checkout's HEAD in it, then the README's
# test command, scripts/test.sh, and scripts/check.sh sanitize fuzz. (Each
# release's package build runs the tests too: scripts/release.sh.)
# Skipped inside a chroot (no nesting).
# Usage: scripts/distributions.sh [RELEASE...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bare.sh
if inside_chroot; then
  echo "SKIPPED: the distributions step (already inside a chroot; no nesting)"
  exit 0
fi
releases=("$@")
((${#releases[@]})) || releases=(trixie)
mkdir -p build
clone=$(mktemp -d)
trap 'rm -rf "$clone"' EXIT
git clone -q --no-hardlinks "$PWD" "$clone/tavrik"
failed=()
for release in "${releases[@]}"; do
  log=$PWD/build/distributions-$release.log start=$SECONDS
  echo "== Debian $release: fresh clone, scripts/test.sh, scripts/check.sh sanitize fuzz (log: $log)"
  # Bounded: a hung step ends the run instead of CI's.
  # shellcheck disable=SC2016 # expanded by mmdebstrap's sh, with the root as $1
  if bare "$release" --customize-hook="copy-in $clone/tavrik /root" \
    --customize-hook='chroot "$1" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
      CI="$CI" TAVRIK_WERROR="$TAVRIK_WERROR" /bin/bash -c "cd /root/tavrik &&
        timeout 1800 sh -c \"scripts/test.sh && scripts/check.sh sanitize fuzz\""' >"$log" 2>&1; then
    grep -E '^(== |100% tests passed|PASS|SKIPPED|fuzz_|checks passed)' "$log" |
      sed 's/^/  /'
    echo "Debian $release: passed in $(((SECONDS - start) / 60))m$(((SECONDS - start) % 60))s"
  else
    tail -60 "$log"
    echo "FAIL: Debian $release (after $(((SECONDS - start) / 60))m$(((SECONDS - start) % 60))s; log: $log)"
    failed+=("$release")
  fi
done
((${#failed[@]} == 0)) || { echo "FAIL: ${failed[*]}"; exit 1; }
