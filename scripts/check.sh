#!/usr/bin/env bash
# The hardening checks (docs/testing.md#the-checks): sanitize, fuzz (each
# target for FUZZ_SECONDS, default 60), libcxx, windows.
# Usage: scripts/check.sh [STEP...]   (default: every step)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
steps=" ${*:-sanitize fuzz libcxx windows} "
step() { [[ $steps == *" $1 "* ]]; }
scripts/setup.sh
ensure_packages "${check_packages[@]}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

if step sanitize; then
  echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  run_logged build-sanitize/configure.log cmake --preset sanitize
  run_logged build-sanitize/build.log cmake --build --preset sanitize --parallel "$(nproc)"
  ctest --preset sanitize --parallel "$(nproc)"
fi

if step fuzz; then
  echo "== fuzzing"
  run_logged build-fuzz/configure.log cmake --preset fuzz
  run_logged build-fuzz/build.log cmake --build --preset fuzz --parallel "$(nproc)"
  for target in text_to_number find_command; do
    log=build-fuzz/fuzz_$target.log && mkdir -p "build-fuzz/corpus/$target"
    run_logged "$log" build-fuzz/fuzz/fuzz_$target -max_total_time="${FUZZ_SECONDS:-60}" -max_len=4096 \
      -timeout=10 -artifact_prefix=build-fuzz/ "build-fuzz/corpus/$target" "fuzz/corpus/$target" ||
      { echo "FAIL: fuzz_$target found a fault (see the artifact in build-fuzz/)"; exit 1; }
    echo "fuzz_$target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log")"
  done
fi

if step libcxx; then
  echo "== the widget-free core with libc++ (compile only)"
  # Not linked: Debian's Qt is built against libstdc++, and one process should
  # not carry two C++ runtimes. Compiling shows the code needs nothing libc++ lacks.
  run_logged build-libcxx/configure.log cmake --preset libcxx
  run_logged build-libcxx/build.log cmake --build --preset libcxx
  echo "compiles with libc++: $(find build-libcxx -name "*.o" | wc -l) object files"
fi

if step windows; then
  echo "== Windows: tavrik.exe cross-built with a static Qt, its tests under Wine"
  scripts/windows.sh --test
fi

echo "checks passed:$steps"
