#!/usr/bin/env bash
# Every test: native unit tests, the same under AddressSanitizer/UBSan, a short fuzz run,
# the Windows build with its tests under Wine in a virtual display, then the release built twice
# in two folders and compared byte for byte.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

step() { printf '\n=== %s\n' "$*"; }

step "native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

step "native unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

if [ -x scripts/fuzz.sh ]; then
  step "fuzz smoke run"
  FUZZ_SECONDS=${FUZZ_SECONDS:-20} bash scripts/fuzz.sh
fi

step "Windows build and tests under Wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32
ctest --preset win32

step "reproducible release: two builds of the commit compared"
bash scripts/check-reproducible.sh
