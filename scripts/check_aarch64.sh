#!/usr/bin/env bash
# The widget-free core (conversions, Find command, search) and its tests, built
# for aarch64 with Debian's cross compiler against the arm64 runtime libraries
# (the build machine's Qt headers serve), then run under qemu. The kernel is
# compiled for NEON and SVE there, and each must find what the plain loop finds.
# Extra compiler flags come from CXXFLAGS (e.g. -Werror).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

if ! dpkg --print-foreign-architectures | grep -qx arm64; then
    dpkg --add-architecture arm64
    apt-get update -qq
fi
ensure_packages g++-aarch64-linux-gnu qemu-user-static pkg-config qt6-base-dev libhwy-dev \
    libqt6core6:arm64 libqt6test6:arm64 libhwy1:arm64

out=build-aarch64
mkdir -p "$out"
arm=/usr/lib/aarch64-linux-gnu
moc=$(pkg-config --variable=libexecdir Qt6Core)/moc
read -ra qt <<<"$(pkg-config --cflags Qt6Core Qt6Test)"
flags=(-std=c++20 -O2 -fPIC -Wall -Wextra -Wpedantic -DQT_NO_DEBUG "${qt[@]}" -I. -I"$out" -Itests)
read -ra extra <<<"${CXXFLAGS:-}"

core=()
for source in runtime/conversions.cpp search/find_command.cpp search/prime_search.cpp \
    search/trial_division.cpp; do
    object=$out/$(basename "$source" .cpp).o
    aarch64-linux-gnu-g++ "${flags[@]}" "${extra[@]}" -c "$source" -o "$object"
    core+=("$object")
done

for test in tst_conversions tst_find_command tst_prime_search tst_trial_division; do
    "$moc" "tests/$test.cpp" -o "$out/$test.moc"
    aarch64-linux-gnu-g++ "${flags[@]}" "${extra[@]}" "tests/$test.cpp" "${core[@]}" \
        "$arm/libQt6Test.so.6" "$arm/libQt6Core.so.6" "$arm/libhwy.so.1" \
        -Wl,-rpath-link,"$arm":/lib/aarch64-linux-gnu -o "$out/$test"
done

file -b "$out/tst_trial_division" | cut -d, -f1-2
aarch64-linux-gnu-objdump -d "$out/trial_division.o" >"$out/trial_division.s"
neon=$(grep -cE '\smul\s+v[0-9]+\.4s' "$out/trial_division.s" || true)
sve=$(grep -cE '\smul\s+z[0-9]+\.s' "$out/trial_division.s" || true)
echo "vector multiplications in the kernel: NEON $neon, SVE $sve"
((neon > 0 && sve > 0)) || { echo "FAIL: the aarch64 kernel does not multiply vectors"; exit 1; }

# qemu's default processor has NEON, SVE and SVE2. Emulation is slow, so the
# kernel's test runs its exactness test, block edges and the two ends of the
# accepted range.
for test in tst_conversions tst_find_command tst_prime_search; do
    qemu-aarch64-static -L / "$out/$test" -silent || { echo "FAIL: $test on aarch64"; exit 1; }
done
qemu-aarch64-static -L / "$out/tst_trial_division" exactness blockEdges searchUsesTheWidest \
    'targetsAgree:0 to 10000' 'targetsAgree:largest range' >"$out/tst_trial_division.log" 2>&1 ||
    { cat "$out/tst_trial_division.log"; echo "FAIL: tst_trial_division on aarch64"; exit 1; }
grep -E 'runs:|^Totals' "$out/tst_trial_division.log"
