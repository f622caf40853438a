#!/usr/bin/env bash
# Installs what is missing (sudo apt-get when not root), builds the program,
# its tests and benchmarks into build/, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Widget tests need no display.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
ctest --preset release --parallel "$(nproc)"
