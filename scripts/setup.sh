#!/usr/bin/env bash
# Installs what is missing (Debian 12 or 13), then configures and builds into
# build/:
#   scripts/setup.sh            what the tests and benchmarks need; every target
#   scripts/setup.sh --program  what building and running the program needs;
#                               the program alone (no test or benchmark target)
# Runs as the user, who owns build/; apt-get goes through sudo, and only when
# a package is missing. Each step says what it does in one line; a run with
# nothing to do prints nothing.
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
    run_logged build/locale.log apt_as_root sh -c "
      sed -i 's/^# *\(it_IT.UTF-8 UTF-8\)/\1/' /etc/locale.gen &&
      { grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' >>/etc/locale.gen; } &&
      locale-gen"
  fi
  tests=ON target=all
fi

use_utf8_locale # for Qt's tools in the build
if [ -e build ] && ! [ -w build ]; then
  echo "build/ belongs to $(stat -c %U build), not to you (an earlier build as root?):" >&2
  echo "remove it (sudo rm -rf build) and run this again." >&2
  exit 1
fi

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
