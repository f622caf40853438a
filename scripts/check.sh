#!/usr/bin/env bash
# The hardening run, after the tests (CI runs both), in steps, each a preset
# of CMakePresets.json:
#   sanitize  every test again under AddressSanitizer and
#             UndefinedBehaviorSanitizer
#   fuzz      the fuzz targets, for a bounded time
#   aarch64   the program and its tests for aarch64, run under qemu (the
#             arm64 libraries in a private root)
#   libcxx    the widget-free core compiled with libc++
#   windows   the Windows resources compiled and read back, and the Windows
#             program built and tested under Wine
# The Debian packages are the release's (scripts/release.sh).
# FUZZ_SECONDS sets each fuzz target's time (default 60).
# Usage: scripts/check.sh [STEP...]   (default: every step)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
steps=" ${*:-sanitize fuzz aarch64 libcxx windows} "
step() { [[ $steps == *" $1 "* ]]; }
scripts/setup.sh
ensure_packages clang libclang-rt-dev libc++-dev libc++abi-dev binutils-mingw-w64-x86-64 python3
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

if step sanitize; then
  echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  run_logged build-sanitize/configure.log cmake --preset sanitize
  cmake --build --preset sanitize --parallel "$(nproc)" >build-sanitize/build.log 2>&1 ||
    { cat build-sanitize/build.log; exit 1; }
  ctest --preset sanitize --parallel "$(nproc)"
fi

if step fuzz; then
  echo "== fuzzing"
  run_logged build-fuzz/configure.log cmake --preset fuzz
  cmake --build --preset fuzz --parallel "$(nproc)" >build-fuzz/build.log 2>&1 ||
    { cat build-fuzz/build.log; exit 1; }
  for target in text_to_number find_command; do
    work=build-fuzz/corpus/$target
    mkdir -p "$work"
    log=build-fuzz/fuzz_$target.log
    if ! build-fuzz/fuzz/fuzz_$target -max_total_time="${FUZZ_SECONDS:-60}" -max_len=4096 \
        -timeout=10 -artifact_prefix=build-fuzz/ "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
      tail -40 "$log"
      echo "FAIL: fuzz_$target found a fault (see the artifact in build-fuzz/)"
      exit 1
    fi
    echo "fuzz_$target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log")"
  done
fi

if step aarch64; then
  echo "== aarch64: the program and its tests cross-built, run under qemu"
  scripts/check_aarch64.sh
fi

if step libcxx; then
  echo "== the widget-free core with libc++ (compile only)"
  # Debian's Qt is built against libstdc++; linking libc++ code to it would load
  # two C++ runtimes, each with its own exception and allocation support, into
  # one process. Compiling everything proves the code itself needs nothing that
  # libc++ lacks.
  run_logged build-libcxx/configure.log cmake --preset libcxx
  cmake --build --preset libcxx >build-libcxx/build.log 2>&1 || { cat build-libcxx/build.log; exit 1; }
  echo "compiles with libc++: $(find build-libcxx -name "*.o" | wc -l) object files"
fi

if step windows; then
  echo "== Windows resources"
  x86_64-w64-mingw32-windres --preprocessor=cpp -I build/app -i app/tavrik.rc -O res -o build/tavrik.res
  python3 tests/check_windows_resources.py build/tavrik.res build/app/tavrik_version.h

  echo "== Windows: tavrik.exe cross-built with a static Qt, its tests under Wine"
  scripts/windows.sh --test
fi

echo "checks passed:$steps"
