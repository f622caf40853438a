#!/usr/bin/env bash
# Installs what is missing (sudo apt-get when not root), then configures and
# builds into build/, which stays the user's: every target, or with --program
# the program alone. Each step says what it does in one line, if anything.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

if [ "${1:-}" = --program ]; then
  ensure_packages "${program_packages[@]}"
  tests=OFF target=tavrik
else
  packages=("${program_packages[@]}" "${test_packages[@]}")
  # CI proves the conversions under a decimal-comma locale; elsewhere the
  # system's locales are left alone and that test skips.
  [ -z "${CI:-}" ] || packages+=(locales)
  ensure_packages "${packages[@]}"
  if [ -n "${CI:-}" ] && ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
    echo "generating the it_IT.UTF-8 locale (CI only)"
    run_logged build/locale.log apt_as_root localedef -i it_IT -c -f UTF-8 it_IT.UTF-8
  fi
  tests=ON target=all
fi

use_utf8_locale # for Qt's tools in the build
[ ! -e build ] || [ -w build ] || { echo "build/ belongs to $(stat -c %U build), not to you (an earlier" \
  "build as root?): remove it (sudo rm -rf build) and run this again." >&2; exit 1; }

# Warnings stop the build only where asked (CI sets TAVRIK_WERROR=ON): a newer
# compiler's new warning must not stop a user's build. The program alone keeps
# a build that has its tests; the tests need them configured.
werror=${TAVRIK_WERROR:-OFF}
cached() { sed -n "s/^$1:BOOL=//p" build/CMakeCache.txt 2>/dev/null; }
[ "$(cached TAVRIK_TESTS)" != ON ] || tests=ON
if [ "$(cached TAVRIK_WERROR)" != "$werror" ] ||
  { [ $tests = ON ] && [ "$(cached TAVRIK_TESTS)" != ON ]; }; then
  echo "configuring the build in build/"
  run_logged build/configure.log cmake --preset release -DTAVRIK_WERROR="$werror" -DTAVRIK_TESTS=$tests
fi
if ! cmake --build build --target $target -- -n | grep -q '^ninja: no work to do'; then
  [ $target = all ] && echo "building the program, tests and benchmarks" || echo "building the program"
  cmake --build build --target $target --parallel "$(nproc)"
fi
