#!/usr/bin/env bash
# Every test, or the parts named: test.sh [native] [asan] [fuzz] [win64] [win32] [repro]
#   native  native unit tests
#   asan    the same under AddressSanitizer/UBSan
#   fuzz    a short fuzz run ($FUZZ_SECONDS, default 20)
#   win64   the 64-bit Windows build, every program and test, with the Windows suite under 64-bit
#           Wine in a virtual display: this runs on every host
#   win32   the 32-bit Windows build, which ships: installer.exe checked as a file (machine,
#           subsystem, imports, manifest, resources the same as the 64-bit build's) on every host,
#           and the same Windows suite under 32-bit Wine where the host runs 32-bit programs
#   repro   the release built twice in two folders and compared byte for byte
# Without a part, all of them in that order. The last line says which builds the Windows suite
# ran on and how many entries each passed.
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

# Configure and build one preset.
build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}
# Runs a preset's tests (more ctest arguments may follow) and notes "PRESET PASSED TOTAL" in
# $counts; fails as ctest fails.
counts=$(mktemp)
trap 'rm -f "$counts"' EXIT
run_tests() {
  local preset=$1 log
  shift
  log=$(mktemp)
  local status=0
  ctest --preset "$preset" "$@" 2>&1 | tee "$log" || status=$?
  # "100% tests passed, 0 tests failed out of 42"
  sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\? failed out of \([0-9]*\)$/\1 \2/p' "$log" |
    while read -r failed total; do echo "$preset $((total - failed)) $total" >>"$counts"; done
  rm -f "$log"
  return $status
}
# A Wine part's prefixes take about 0.6 GB each, eight or so per build: once its suite has run
# they go (a failed suite keeps them to look into), so that one build's prefixes are on disk at
# a time; the next run makes them again.
drop_prefixes() { rm -rf "build/$1"/wineprefix*; }
# Needs about 6 GB free at once: two Windows builds with one build's prefixes, the native builds.
free_kb=$(df -Pk . | awk 'NR == 2 {print $4}')
if [ "${free_kb:-0}" -lt $((6 * 1024 * 1024)) ]; then
  echo "test.sh: warning: only $((free_kb / 1024)) MB free on $(df -P . | awk 'NR == 2 {print $6}');" \
    "a whole run needs about 6 GB, and Wine fails oddly on a full disk" >&2
fi
# The number of Wine entries a preset passed, from $counts; 0 when it ran none.
passed() { awk -v p="$1" '$1 == p {print $2; found = 1} END {if (!found) print 0}' "$counts"; }
total() { awk -v p="$1" '$1 == p {print $3; found = 1} END {if (!found) print 0}' "$counts"; }

# shellcheck source=scripts/host-32bit.sh
. scripts/host-32bit.sh
windows_parts=0
summary=()
times=()
for part in "${parts[@]}"; do
  part_start=$SECONDS
  case "$part" in
    native)
      step "native build and unit tests"
      build native
      run_tests native
      ;;
    asan)
      step "native unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
      build asan
      run_tests asan
      ;;
    fuzz)
      step "fuzz smoke run"
      FUZZ_SECONDS=${FUZZ_SECONDS:-20} bash scripts/fuzz.sh
      ;;
    win64)
      windows_parts=1
      step "64-bit Windows build and its Windows suite under 64-bit Wine"
      # The CD-ROM scenario makes its medium with the native catalogue tool.
      cmake --preset native >/dev/null && cmake --build --preset native --target catalog-tool
      build win64
      run_tests win64
      drop_prefixes win64
      summary+=("the 64-bit build under 64-bit Wine, $(passed win64) of $(total win64) entries passed")
      ;;
    win32)
      windows_parts=1
      step "32-bit Windows build (the shipped one)"
      # Its installer is checked against the 64-bit build's, and one of its scenarios hands off
      # to the 64-bit reference set-up program.
      build win64
      cmake --preset native >/dev/null && cmake --build --preset native --target catalog-tool
      build win32
      if wine32_runs; then
        step "the 32-bit build's Windows suite under 32-bit Wine"
        run_tests win32
        drop_prefixes win32
        summary+=("the 32-bit build under 32-bit Wine, $(passed win32) of $(total win32) entries passed")
      else
        step "the shipped 32-bit installer checked as a file (this host runs no 32-bit program)"
        run_tests win32 -L static
        summary+=("the 32-bit build NOT run (this host runs no 32-bit program: $wine32_loader does" \
          "not start), but the shipped 32-bit installer built and checked as a file," \
          "$(passed win32) of $(total win32) checks passed")
      fi
      ;;
    repro)
      step "reproducible release: two builds of the commit compared"
      bash scripts/check-reproducible.sh
      ;;
  esac
  times+=("$part $((SECONDS - part_start)) s")
done

joined=$(printf '%s, ' "${times[@]}")
echo "test.sh: time per part: ${joined%, }"
if [ $windows_parts -eq 1 ]; then
  # Never a pass with no Windows test run under Wine.
  if [ "$(passed win64)" -eq 0 ] && ! { wine32_runs && [ "$(passed win32)" -gt 0 ]; }; then
    echo "test.sh: FAILED: no Windows test ran under Wine (the win64 part runs them on any host)" >&2
    exit 1
  fi
  joined=$(printf '%s; ' "${summary[@]}")
  echo "test.sh: Windows suite: ${joined%; }"
fi
