#!/usr/bin/env bash
# Installs what is missing (Debian 12, as root), then configures and builds
# into build/. Idempotent: a second run installs nothing and rebuilds only
# what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libbenchmark-dev
  libhwy-dev         # the vector division kernel (Google Highway)
  fonts-liberation2  # the nearest face to "MS Sans Serif"
  locales            # a decimal-comma locale for the conversion tests
  xvfb xdotool x11-apps x11-utils imagemagick xclip   # the real window driven under Xvfb
  weston qt6-wayland  # the window tests on Wayland, under a headless Weston
)

ensure_packages "${packages[@]}"

if ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    sed -i 's/^# *\(it_IT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  fi
fi

# Warnings stop the build only where asked (CI sets TAVRIK_WERROR=ON): a newer
# compiler's new warning must not stop a user's build.
werror=${TAVRIK_WERROR:-OFF}
if [ "$(sed -n 's/^TAVRIK_WERROR:BOOL=//p' build/CMakeCache.txt 2>/dev/null)" != "$werror" ]; then
  cmake --preset release -DTAVRIK_WERROR="$werror" >/dev/null
fi
cmake --build build --parallel "$(nproc)"
