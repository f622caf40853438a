#!/usr/bin/env bash
# The program and its tests cross-built for aarch64 (the "aarch64" preset, in
# build-aarch64/) against Debian's arm64 Qt and Highway in a private root
# (scripts/aarch64_sysroot.sh), then run by ctest under qemu, whose processor
# has NEON, SVE and SVE2: the kernel on each must find what the plain loop
# finds; the smoke test's screenshot is build-aarch64/tests/smoke.png.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

# The kernel's vector instruction, looked for below in its NEON and SVE forms:
# a multiplication of 32-bit lanes.
kernel_neon='\smul\s+v[0-9]+\.4s' kernel_sve='\smul\s+z[0-9]+\.s'

ensure_packages g++-aarch64-linux-gnu qemu-user-static cmake ninja-build qt6-base-dev
scripts/aarch64_sysroot.sh build-aarch64/sysroot
run_logged build-aarch64/configure.log cmake --preset aarch64 --fresh
run_logged build-aarch64/build.log cmake --build --preset aarch64

file -b build-aarch64/tests/tst_trial_division | cut -d, -f1-2
aarch64-linux-gnu-objdump -d build-aarch64/search/CMakeFiles/tavrik_search.dir/trial_division.cpp.o \
  >build-aarch64/trial_division.s
neon=$(grep -cE "$kernel_neon" build-aarch64/trial_division.s || true)
sve=$(grep -cE "$kernel_sve" build-aarch64/trial_division.s || true)
echo "vector multiplications in the kernel: NEON $neon, SVE $sve"
((neon > 0 && sve > 0)) || { echo "FAIL: the aarch64 kernel does not multiply vectors"; exit 1; }

if ! ctest --preset aarch64 --parallel "$(nproc)" -V >build-aarch64/ctest.log 2>&1; then
  cat build-aarch64/ctest.log
  echo "FAIL: the tests on aarch64"
  exit 1
fi
grep -E 'runs: |Totals: |SKIP |tests passed' build-aarch64/ctest.log
