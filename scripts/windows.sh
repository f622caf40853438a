#!/usr/bin/env bash
# Builds build-windows/tavrik.exe, a self-contained 64-bit Windows program, and
# its zip and installer (packaging/), in a bare Debian 12: --program the
# program alone; --test all, then the tests under Wine here; --release OUTDIR
# the packages into OUTDIR, with the Debian sources of Qt and Highway and a
# record of what built them. Qt and Highway are built static with MinGW-w64,
# once, kept in $TAVRIK_WINDOWS_CACHE (docs/building.md).
# Usage: scripts/windows.sh [--test | --program | --release OUTDIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

test="" target=all out=""
case "${1:-}" in
  --test) test=1 ;;
  --program) target=tavrik ;;
  --release) target=tavrik_packages out=$(cd "$OLDPWD" && realpath -m "${2:?--release OUTDIR}") ;;
  "") ;;
  *) echo "usage: scripts/windows.sh [--test | --program | --release OUTDIR]" >&2; exit 2 ;;
esac

cache=${TAVRIK_WINDOWS_CACHE:-$TAVRIK_CACHE/windows}
if [ -z "${TAVRIK_INSIDE:-}" ]; then
  # Run again in a bare Debian 12 with windows_packages alone, as Debian
  # builds: the checkout, the cache and OUTDIR are its folders there too.
  source scripts/bare.sh
  ensure_packages mmdebstrap
  mkdir -p "$cache" ${out:+"$out"}
  inside "$(tarball bookworm windows)" "$PWD" "$cache" ${out:+"$out"} -- env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/tmp LC_ALL=C.UTF-8 TAVRIK_INSIDE=1 TAVRIK_WINDOWS_CACHE="$cache" TAVRIK_WERROR="${TAVRIK_WERROR:-OFF}" \
    ${SOURCE_DATE_EPOCH:+SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH} "$PWD/scripts/windows.sh" "$@"
  [ -n "$test" ] || exit 0
  # Wine with its own fonts, as a Windows desktop has them, and CTest.
  ensure_packages "${windows_packages[@]}" "${wine_packages[@]}"
  exe=build-windows/tavrik.exe
else
work=${TAVRIK_WINDOWS_WORK:-/var/tmp/tavrik-windows-$(id -un)}
deps=$PWD/build-windows/deps
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
mkdir -p "$cache" "$work"

# Qt: only Core, Gui, Widgets, Test and the Windows platform plugin, without
# what the program and its tests never use (a smaller program, a shorter build).
# The widgets paint in software: no OpenGL, which must be turned off as a whole
# (INPUT_opengl), since dynamic OpenGL outlives FEATURE_opengl alone. The input
# dialog stays: 6.4's Windows style includes its header whatever the feature says.
qt_features=(
  sql network dbus printsupport concurrent xml
  tabletevent # Debian's source lacks the Wintab headers
  vulkan freetype fontconfig icu mimetype sessionmanager systemtrayicon
  direct2d directwrite3 # the DirectWrite font database, which 6.4 builds only with Direct2D
  textodfwriter textmarkdownreader textmarkdownwriter style_stylesheet style_fusion
  gif jpeg ico movie pdf picture undocommand undostack undogroup undoview
  filedialog fontdialog colordialog wizard mdiarea dockwidget calendarwidget datetimeedit
  lcdnumber dial graphicsview columnview treewidget tablewidget fontcombobox keysequenceedit
  splashscreen toolbox errormessage progressdialog datawidgetmapper
  commandlinkbutton syntaxhighlighter jalalicalendar islamiccivilcalendar hijricalendar
  sharedmemory systemsemaphore filesystemwatcher gestures
)
qt_off=("${qt_features[@]/#/-DFEATURE_}")
qt_options=(
  -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release -DFEATURE_optimize_size=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF -DINPUT_opengl=no
  # Paths found from the program's own place at run time: no build folder
  # compiled into QtCore, so two builds of Qt in two folders give the same bytes.
  -DFEATURE_relocatable=ON
  "${qt_off[@]/%/=OFF}"
)
hwy_options=(
  -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
  -DHWY_ENABLE_CONTRIB=OFF -DHWY_ENABLE_EXAMPLES=OFF -DHWY_ENABLE_TESTS=OFF
)

# Prints the folder of Debian's source package PACKAGE=VERSION (.dsc and its
# tarballs) in $cache/sources, downloading it there first if needed.
source_package() {
  local package=$1 version=$2 apt=$work/apt codename dir
  dir=$cache/sources/${package}_$version
  if ! ls "$dir"/*.dsc >/dev/null 2>&1; then
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mkdir -p "$apt/lists/partial" "$apt/archives/partial"
    # deb-src for every suite of this release that apt reads packages from.
    apt-get indextargets --no-release-info --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' |
      awk -v c="$codename" '$2 == c || index($2, c "-") == 1 {print "deb-src " $0}' |
      sort -u >"$apt/sources.list"
    [ -s "$apt/sources.list" ] || { echo "no Debian archive for $codename in apt's sources" >&2; return 1; }
    # Downloads by whoever runs this, into folders of this script's own.
    local options=(-o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
      -o Dir::State::Lists="$apt/lists" -o Dir::Cache::Archives="$apt/archives"
      -o APT::Sandbox::User="$(id -un)")
    apt-get "${options[@]}" -qq update
    rm -rf "$dir.part" && mkdir -p "$dir.part"
    (cd "$dir.part" && apt-get "${options[@]}" -qq source --download-only "$package=$version" >/dev/null)
    rm -rf "$dir" && mv "$dir.part" "$dir"
  fi
  echo "$dir"
}

# Prints the tarball of PACKAGE built for Windows, building it first if needed.
# Its name carries the version and a digest of how it was built.
dependency() {
  local name=$1 package=$2 version=$3 digest tarball src sources
  shift 3
  sources=$(source_package "$package" "$version")
  mkdir -p "$deps"
  # Written when it changes alone: CMake then configures again (the notices).
  [ "$(cat "$deps/$name.sources" 2>/dev/null)" = "$sources" ] || echo "$sources" >"$deps/$name.sources"
  digest=$(printf '%s\n' "$@" | cat - "$toolchain" | sha256sum | cut -c1-12)
  tarball=$cache/$name-$version-mingw-$digest.tar.zst
  exec {lock}>"$tarball.lock"
  flock "$lock" # another run building it: wait, then take its tarball
  if [ ! -s "$tarball" ]; then
    src=$work/$name
    echo "building $name $version for Windows (once; kept in $tarball)" >&2
    rm -rf "$src" && mkdir -p "$src"
    run_logged "$src.unpack.log" dpkg-source --no-check -x "$sources"/*.dsc "$src/src" || return 1
    local start=$SECONDS
    # Source paths (in assertion texts) as relative ones, whichever folder builds.
    local -x CFLAGS=-ffile-prefix-map=$src=. CXXFLAGS=-ffile-prefix-map=$src=.
    run_logged "$work/$name.log" cmake -G Ninja -S "$src/src" -B "$src/build" \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$src/prefix" "$@" &&
      run_logged "$work/$name.log" cmake --build "$src/build" --parallel "$(nproc)" &&
      run_logged "$work/$name.log" cmake --install "$src/build" || return 1
    tar -C "$src/prefix" --zstd -cf "$tarball.part" . && mv "$tarball.part" "$tarball"
    echo "$name built in $((SECONDS - start)) s" >&2
    rm -rf "$src"
  fi
  echo "$tarball"
}

# Unpacks TARBALL into build-windows/deps/NAME unless it is there already.
unpack() {
  local name=$1 tarball=$2
  [ "$(cat "$deps/$name.from" 2>/dev/null)" = "$tarball" ] && return 0
  rm -rf "${deps:?}/$name" && mkdir -p "$deps/$name"
  tar -C "$deps/$name" --zstd -xf "$tarball"
  echo "$tarball" >"$deps/$name.from"
}

version_of() { dpkg-query -W -f='${source:Version}' "$1"; }
qt=$(dependency qt6-base qt6-base "$(version_of qt6-base-dev)" "${qt_options[@]}")
# The same Highway as the Linux build uses.
hwy=$(dependency highway highway "$(version_of libhwy-dev)" "${hwy_options[@]}")
unpack qt "$qt"
unpack hwy "$hwy"

echo "building build-windows/tavrik.exe"
werror=${TAVRIK_WERROR:-OFF}
# Configured again for a release: the packages take their dates from its SOURCE_DATE_EPOCH.
if [ -n "$out" ] || [ "$(sed -n 's/^TAVRIK_WERROR:BOOL=//p' build-windows/CMakeCache.txt 2>/dev/null)" != "$werror" ]; then
  cmake --preset windows -DTAVRIK_WERROR="$werror" >/dev/null
fi
cmake --build build-windows --target "$target" --parallel "$(nproc)"
exe=build-windows/tavrik.exe
echo "$exe: $(stat -c %s "$exe") bytes"

if [ -n "$out" ]; then
  version=$(sed -n 's/^#define TAVRIK_VERSION_TEXT "\(.*\)"$/\1/p' build-windows/app/tavrik_version.h)
  name=tavrik-$version-windows-x86_64
  mkdir -p "$out" && cp build-windows/packaging/"$name".{zip,msi} "$out/"
  dscs=$(for f in "$deps"/*.sources; do cp "$(cat "$f")"/* "$out/" && basename -a "$(cat "$f")"/*.dsc; done)
  # As Debian's .buildinfo says it: every package of the system that built
  # them, as dpkg has it, with no date and no folder.
  {
    printf 'Format: 1.0\nSource: tavrik\nVersion: %s\nArchitecture: windows-x86_64\n' "$version"
    printf 'Build-Origin: %s\nBuild-Architecture: %s\nChecksums-Sha256:\n' "$(dpkg-vendor --query Vendor)" \
      "$(dpkg --print-architecture)"
    for f in "$name".zip "$name".msi $dscs; do
      echo " $(sha256sum <"$out/$f" | cut -c1-64) $(stat -c %s "$out/$f") $f"
    done
    printf 'Environment:\n'
    [ -z "${SOURCE_DATE_EPOCH:-}" ] || printf ' SOURCE_DATE_EPOCH="%s"\n' "$SOURCE_DATE_EPOCH"
    printf 'Installed-Build-Depends:\n'
    dpkg-query -W -f '${db:Status-Abbrev} ${binary:Package} (= ${Version})\n' |
      awk '$1 == "ii" {print " " $2, $3, $4}' | LC_ALL=C sort -u | sed '$!s/$/,/'
  } >"$out/$name.buildinfo"
  for f in "$out/$name".*; do echo "${f##*/}: $(stat -c %s "$f") bytes"; done
fi
exit 0
fi

echo "== the .exe: size, DLLs, resources"
size=$(stat -c %s "$exe")
((size <= 12 * 1024 * 1024)) || { echo "FAIL: $exe is $size bytes, above 12 MiB"; exit 1; }
# Only Windows' own DLLs: no C++ runtime, no Qt, nothing to ship beside it.
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|imm32|winmm|uxtheme|dwmapi|shcore|shlwapi|version|userenv|netapi32|wtsapi32|ws2_32|d3d9|d3d11|dxgi|dwrite|setupapi|msvcrt|mpr|authz|api-ms-win-[a-z0-9-]+)\.dll$'
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
foreign=$(grep -Ev "$system_dlls" <<<"$dlls" || true)
[ -z "$foreign" ] || { echo "$foreign"; echo "FAIL: $exe needs DLLs that are not Windows' own"; exit 1; }
echo "DLLs: $(echo $dlls)"
# The manifest, the icon group and the version record, read back from the program itself.
python3 tests/check_windows_resources.py "$exe" build-windows/app/tavrik_version.h

echo "== the tests under Wine"
source tests/xvfb.sh
xvfb="" wm=""
trap 'kill $wm $xvfb 2>/dev/null || true' EXIT
start_xvfb
# A window manager, as every Windows desktop has: without one, Wine waits two
# seconds for each window it hides (a message box closed with OK) to be withdrawn.
openbox >/dev/null 2>&1 &
wm=$!
export WINEPREFIX=$PWD/build-windows/wine
# One at a time: each run has a wineserver of its own (tests/wine.sh).
ctest --preset windows
tests/wine.sh build-windows/tst_trial_division.exe searchUsesTheWidest |
  sed -n 's/.*runs: //p' | paste -sd' ' | sed 's/^/kernel instruction sets under Wine: /'

echo "== the program on a screen at 150 % (144 dots per inch)"
export WINEPREFIX=$PWD/build-windows/wine-150
rm -rf "$WINEPREFIX" && cp -a build-windows/wine "$WINEPREFIX"
WINEDEBUG=-all /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
/usr/lib/wine/wineserver --wait
# Every click lands where the scaled window has its control.
TAVRIK_RUNNER=$PWD/tests/wine.sh TAVRIK_SCALE=1.5 \
  tests/smoke_xvfb.sh build-windows/tavrik.exe "$PWD/build-windows/tests/smoke-150.png"
