#!/usr/bin/env bash
# On a fresh minimal Debian RELEASE (default 13), HEAD's upstream source as
# the orig tarball has it (no debian/, no git): scripts/test.sh, cmake
# --install, scripts/check.sh sanitize fuzz. Needs root.
# Usage: scripts/distributions.sh [RELEASE...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bare.sh
ensure_packages mmdebstrap git
releases=("${@:-trixie}")
mkdir -p build
clone=$(mktemp -d)
trap 'rm -rf "$clone"' EXIT
mkdir "$clone/tavrik" && git archive HEAD -- . ':!debian' | tar -C "$clone/tavrik" -x
for release in "${releases[@]}"; do
  log=$PWD/build/distributions-$release.log start=$SECONDS
  echo "== Debian $release: the upstream source, scripts/test.sh, cmake --install, scripts/check.sh sanitize fuzz (log: $log)"
  # Bounded: a hung step ends the run instead of CI's.
  # shellcheck disable=SC2016 # expanded by mmdebstrap's sh, with the root as $1
  bare "$release" --customize-hook="copy-in $clone/tavrik /root" \
    --customize-hook='chroot "$1" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
      PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive CI="$CI" \
      TAVRIK_WERROR="$TAVRIK_WERROR" timeout 1800 /bin/bash -c \
      "cd /root/tavrik && scripts/test.sh && cmake --install build --prefix /tmp/installed && \
        scripts/check.sh sanitize fuzz"' >"$log" 2>&1 ||
    { tail -60 "$log"; echo "FAIL: Debian $release (log: $log)"; exit 1; }
  grep -E '^(== |100% tests passed|fuzz_|checks passed)' "$log" | sed 's/^/  /'
  echo "Debian $release: passed in $(((SECONDS - start) / 60))m$(((SECONDS - start) % 60))s"
done
