#!/usr/bin/env bash
# Builds the Debian package of this Debian release (tavrik_1.00-1~deb12_amd64.deb)
# into build-deb/ as Debian builds its own: the program alone, with
# dpkg-buildflags' flags and all hardening (PIE, stack protector,
# _FORTIFY_SOURCE, RELRO, BIND_NOW), dates from the changelog. Then checks the
# hardening, lintian (no error, no warning) and the metadata. Prints its path.
# DEB_HOST_ARCH=arm64 cross-builds it for that architecture, with Debian's
# cross compiler against the arm64 Qt and Highway installed beside this
# machine's (dpkg multiarch, which scripts/release.sh sets up in a bare
# system); dpkg-shlibdeps then reads the Depends from those arm64 libraries.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${program_packages[@]}" dpkg-dev file lintian desktop-file-utils appstream >&2
use_utf8_locale
cross=()
if [ "${DEB_HOST_ARCH:-$(dpkg --print-architecture)}" != "$(dpkg --print-architecture)" ]; then
  eval "$(dpkg-architecture -a"$DEB_HOST_ARCH" -s 2>/dev/null)" # DEB_HOST_* for dpkg's tools
  dpkg --print-foreign-architectures | grep -qx "$DEB_HOST_ARCH" ||
    { echo "FAIL: dpkg has no $DEB_HOST_ARCH architecture here (dpkg --add-architecture)" >&2; exit 1; }
  ensure_packages "g++-$DEB_HOST_GNU_TYPE" "qt6-base-dev:$DEB_HOST_ARCH" "libhwy-dev:$DEB_HOST_ARCH" >&2
  cross=(-DCMAKE_TOOLCHAIN_FILE="cmake/$DEB_HOST_GNU_TYPE.cmake" -DTAVRIK_SYSROOT=/
    -DCPACK_DEBIAN_PACKAGE_ARCHITECTURE="$DEB_HOST_ARCH")
fi
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
umask 022 # as dpkg-buildpackage sets it: cpack gives the members of the .deb the files' modes
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)
export SOURCE_DATE_EPOCH
# Named for this Debian release, as a backport is, with a changelog entry of
# its own (lintian wants it newer than the last).
source_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
release=$(. /etc/os-release && echo "$VERSION_ID $VERSION_CODENAME")
revision=${source_version#*-}~deb${release% *}
mkdir -p build-deb
{
  printf 'tavrik (%s) %s; urgency=medium\n\n  * Built for Debian %s from the %s source.\n\n' \
    "${source_version%-*}-$revision" "${release#* }" "${release% *}" "$source_version"
  printf ' -- %s  %s\n\n' "$(dpkg-parsechangelog -l packaging/changelog -S Maintainer)" \
    "$(date -uR -d "@$((SOURCE_DATE_EPOCH + 1))")"
  cat packaging/changelog
} >build-deb/changelog
# dpkg-buildflags maps this folder to "." in what the compiler records.
run_logged build-deb/configure.log cmake --fresh -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DTAVRIK_TESTS=OFF -DTAVRIK_WERROR="${TAVRIK_WERROR:-OFF}" -DTAVRIK_DEB_REVISION="$revision" \
  -DTAVRIK_CHANGELOG="$PWD/build-deb/changelog" "${cross[@]}"
run_logged build-deb/build.log cmake --build build-deb
hardened=$(readelf -dW --dyn-syms build-deb/app/tavrik)
for mark in BIND_NOW PIE __stack_chk_fail; do
  grep -q "$mark" <<<"$hardened" || { echo "FAIL: the packaged program lacks $mark" >&2; exit 1; }
done
rm -rf build-deb/_CPack_Packages build-deb/tavrik_*.deb
(cd build-deb && cpack -G DEB >/dev/null)
deb=$(ls build-deb/tavrik_*.deb)
echo "$deb: $(stat -c %s "$deb") bytes, Depends: $(dpkg-deb -f "$deb" Depends)" >&2
# Any E: or W: line fails. Newer lintian (Debian 13) runs appstreamcli too and
# warns when it fails, as AppStream 1.0 does for want of a homepage: the one
# tolerated warning; tests/validate_metadata.sh, below, judges the rest.
lintian_args=(--fail-on error,warning --info)
if lintian-explain-tags appstream-metadata-validation-failed >/dev/null 2>&1; then
  lintian_args+=(--suppress-tags appstream-metadata-validation-failed)
fi
status=0
lintian "${lintian_args[@]}" "$deb" >build-deb/lintian.log 2>&1 || status=$?
cat build-deb/lintian.log >&2
if ((status != 0)) || grep -q '^[EW]: ' build-deb/lintian.log; then echo "FAIL: lintian" >&2; exit 1; fi
rm -rf build-deb/root
dpkg-deb -x "$deb" build-deb/root
tests/validate_metadata.sh build-deb/root >&2
echo "$deb"
