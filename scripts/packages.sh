# Sourced by the other scripts.
#
#   ensure_packages NAME...  installs whichever of the named Debian packages are
#       missing (silent when none is): as root with apt-get, else through sudo.
#       One line says how many packages it installs, dependencies included,
#       and their size, with apt's progress; apt's output only on failure.
#   use_utf8_locale  exports LC_ALL=C.UTF-8 where the locale is not UTF-8 (a
#       minimal system has only "C"): Qt wants one. System settings stay.
#   run_logged LOG COMMAND...  runs COMMAND with its output in LOG; prints LOG
#       and fails if COMMAND fails.
#
# The package lists: what building and running the program needs, and what
# the tests and benchmarks need besides.

program_packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins
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
reproduce_packages=(reprotest diffoscope-minimal autopkgtest piuparts qemu-user-static binfmt-support
  arch-test)

# What scripts/windows.sh builds tavrik.exe, the zip and the installer with
# (the release records their versions).
windows_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake ninja-build
  pkg-config perl dpkg-dev zstd qt6-base-dev qt6-base-dev-tools libhwy-dev
  python3 wixl msitools faketime)

use_utf8_locale() {
  [ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
}

run_logged() {
  local log=$1
  shift
  mkdir -p "$(dirname "$log")"
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    echo "FAILED: $* (output above, kept in $log)" >&2
    return 1
  fi
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
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
  done
  ((${#missing[@]})) || return 0

  local log start=$SECONDS
  log=$(mktemp)
  # sudo asks for the password before the progress line starts.
  [ "$(id -u)" -eq 0 ] || ! command -v sudo >/dev/null || sudo -v
  echo "looking up ${#missing[@]} missing packages: ${missing[*]}"
  run_logged "$log" apt_as_root apt-get update -q || return 1
  local new kib
  new=$(LC_ALL=C apt-get -s install --no-install-recommends "${missing[@]}" 2>"$log" |
    awk '/^Inst /{print $2}') || { cat "$log" >&2; return 1; }
  # shellcheck disable=SC2086 # one package name a word
  kib=$(apt-cache show --no-all-versions $new 2>/dev/null | awk '/^Installed-Size:/{s += $2} END {print s + 0}')
  local label
  label="installing $(echo "$new" | wc -w) packages ($((kib / 1024)) MiB)..."
  # apt's status lines (APT::Status-Fd) show as a percentage on the one line;
  # everything else it says goes to the log.
  local - status=0
  set -o pipefail
  if [ -t 1 ]; then printf '%s' "$label"; else echo "$label"; fi
  apt_as_root apt-get install -y -q --no-install-recommends -o APT::Status-Fd=1 "${missing[@]}" 2>&1 |
    while IFS= read -r line; do
      case $line in
        dlstatus:* | pmstatus:*)
          if [ -t 1 ]; then
            IFS=: read -r kind _ percent _ <<<"$line"
            [ "$kind" = dlstatus ] && kind=downloading || kind=installing
            printf '\r%s %s %3d%%' "$label" "$kind" "${percent%.*}"
          fi ;;
        *) echo "$line" >>"$log" ;;
      esac
    done || status=$?
  if ((status != 0)); then
    [ -t 1 ] && echo
    cat "$log" >&2
    echo "FAILED: apt-get install ${missing[*]}" >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
  if [ -t 1 ]; then
    printf '\r%s done in %d s            \n' "$label" $((SECONDS - start))
  else
    echo "done in $((SECONDS - start)) s"
  fi
}
