#!/usr/bin/env bash
# Every test, or the parts named: test.sh [native] [asan] [fuzz] [win64] [win32] [repro]
#   native  native unit tests
#   asan    the same under AddressSanitizer/UBSan
#   fuzz    a short fuzz run ($FUZZ_SECONDS, default 20)
#   win32   the Windows build with its tests under Wine in a virtual display
#   win64   the 64-bit build of the set-up program kit and the reference set-up program on it
#           (run by the win32 part's tests in a 64-bit prefix)
#   repro   the release built twice in two folders and compared byte for byte
# Without a part, all of them in that order.
set -euo pipefail
cd "$(dirname "$0")/.."

# win64 before win32: the Wine suite hands off to the 64-bit reference set-up program.
all_parts=(native asan fuzz win64 win32 repro)
usage() {
  echo "usage: test.sh [PART]...  (PART: ${all_parts[*]}; all when none is named)" >&2
  exit 2
}
parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=("${all_parts[@]}")
for part in "${parts[@]}"; do
  case "$part" in
    native | asan | fuzz | win32 | win64 | repro) ;;
    -h | --help) usage ;;
    *) echo "test.sh: unknown part '$part'" >&2; usage ;;
  esac
done

bash scripts/setup.sh

step() { printf '\n=== %s\n' "$*"; }

# Configure, build and (where the preset has tests) run one preset.
preset() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  if [ "${2:-}" = test ]; then
    ctest --preset "$1"
  fi
}

for part in "${parts[@]}"; do
  case "$part" in
    native)
      step "native build and unit tests"
      preset native test
      ;;
    asan)
      step "native unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
      preset asan test
      ;;
    fuzz)
      step "fuzz smoke run"
      FUZZ_SECONDS=${FUZZ_SECONDS:-20} bash scripts/fuzz.sh
      ;;
    win32)
      step "Windows build and tests under Wine"
      preset win32 test
      ;;
    win64)
      step "64-bit Windows build of the set-up program kit"
      preset win64
      ;;
    repro)
      step "reproducible release: two builds of the commit compared"
      bash scripts/check-reproducible.sh
      ;;
  esac
done
