# Sourced by the other scripts: the package lists, and
#   ensure_packages NAME...  installs whichever are missing (as root, else with
#       sudo), saying in one line how many packages and MiB; apt's output only
#       on failure; nothing when none is missing.
#   use_utf8_locale  LC_ALL=C.UTF-8 where the locale is not UTF-8 (a minimal
#       system has only "C"), as Qt wants; system settings stay.
#   run_logged LOG COMMAND...  COMMAND's output into LOG; on failure, its end.

program_packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev
  libhwy-dev         # the vector division kernel (Google Highway)
  fonts-liberation2  # the nearest face to "MS Sans Serif"
)
test_packages=(
  libbenchmark-dev
  xvfb xdotool x11-apps x11-utils imagemagick xclip   # the real window driven under Xvfb
  weston qt6-wayland  # the window tests on Wayland, under a headless Weston
  xfce4-clipman dbus-daemon  # an X11 clipboard manager (and its session bus): a copy made before EXIT survives it
  desktop-file-utils appstream  # the desktop entry and metainfo validated
)

# What scripts/release.sh makes and checks the release with (besides the
# Windows build's), and what scripts/reproduce.sh tries it with.
release_packages=(git dpkg-dev sbuild mmdebstrap uidmap lintian devscripts blhc python3)
reproduce_packages=(reprotest diffoscope-minimal autopkgtest piuparts qemu-user-static binfmt-support arch-test)

# What scripts/windows.sh builds the Windows files with (their record lists them).
windows_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake ninja-build
  pkg-config perl dpkg-dev zstd qt6-base-dev qt6-base-dev-tools libhwy-dev
  python3 wixl msitools faketime)
# What scripts/check.sh adds for libc++, and scripts/windows.sh for the tests under Wine.
check_packages=(clang libclang-rt-dev libc++-dev libc++abi-dev)
wine_packages=(python3 wine64 fonts-wine fonts-liberation2 xvfb openbox xdotool x11-utils x11-apps imagemagick xclip)

# What is built once and kept: /var/cache/tavrik for root, else ~/.cache/tavrik.
[ "$(id -u)" -eq 0 ] && default_cache=/var/cache/tavrik || default_cache=${XDG_CACHE_HOME:-$HOME/.cache}/tavrik
TAVRIK_CACHE=${TAVRIK_CACHE:-$default_cache}

use_utf8_locale() {
  [ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
}

run_logged() {
  mkdir -p "$(dirname "$1")"
  "${@:2}" >"$1" 2>&1 && return 0
  tail -n 60 "$1" >&2
  echo "FAILED: ${*:2} (the end of its output above, all of it in $1)" >&2
  return 1
}

# The command that runs apt-get as root: nothing for root, else sudo.
apt_as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    DEBIAN_FRONTEND=noninteractive "$@"
  elif command -v sudo >/dev/null; then
    sudo DEBIAN_FRONTEND=noninteractive "$@"
  else
    echo "$* needs root, and there is no sudo: run this as root, or install sudo" >&2
    return 1
  fi
}

ensure_packages() {
  local missing=() p log new kib start=$SECONDS try
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  log=$(mktemp)
  # sudo asks for the password before anything else is said.
  [ "$(id -u)" -eq 0 ] || ! command -v sudo >/dev/null || sudo -v
  echo "looking up ${#missing[@]} missing packages: ${missing[*]}"
  # A mirror caught mid-sync serves lists of the wrong size for a while.
  for try in 1 2 3; do
    apt_as_root apt-get update -q >"$log" 2>&1 && break
    ((try < 3)) || { cat "$log" >&2; return 1; }
    sleep 30
  done
  new=$(LC_ALL=C apt-get -s install --no-install-recommends "${missing[@]}" 2>"$log" |
    awk '/^Inst /{print $2}') || { cat "$log" >&2; return 1; }
  # shellcheck disable=SC2086 # one package name a word
  kib=$(apt-cache show --no-all-versions $new 2>/dev/null | awk '/^Installed-Size:/{s += $2} END {print s + 0}')
  echo "installing $(echo "$new" | wc -w) packages ($((kib / 1024)) MiB)..."
  run_logged "$log" apt_as_root apt-get install -y -q --no-install-recommends "${missing[@]}" || return 1
  rm -f "$log"
  echo "done in $((SECONDS - start)) s"
}
