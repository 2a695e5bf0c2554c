#!/usr/bin/env bash
# Start-up time under Wine: from process creation to the visible dialog, for installer.exe on
# the sample medium against the minimal dialog program built the same way, alternating in the
# same run. Prints each program's median and the ratio, and the size of installer.exe.
#
#   bench-startup.sh [REPETITIONS]     (default 15; one warm-up run each is not counted)
set -euo pipefail
# shellcheck source=scripts/bench-common.sh
. "$(dirname "$0")/bench-common.sh"
reps=${1:-15}

bench_build installer reference-setup minimal-dialog startup-timer
medium="$win32/bench-medium"
WIN32_BUILD="$win32" NATIVE_BUILD="$native" bash scripts/sample-medium.sh "$medium" >/dev/null
cp -f "$win32/tests/programs/minimal-dialog/minimal-dialog.exe" "$medium/"

caption="Добро пожаловать"

bench_start_wine
timer=$(bench_winepath "$win32/tests/programs/startup-timer/startup-timer.exe")
dir=$(bench_winepath "$medium")

measure() {  # CAPTION PROGRAM -> milliseconds
  bench_wine "$timer" --cwd "$dir" "$1" "$dir\\$2" 2>/dev/null | awk '/^visible/ {print $2}'
}

measure "Minimal dialog" minimal-dialog.exe >/dev/null
measure "$caption" installer.exe >/dev/null
base=()
prog=()
for _ in $(seq 1 "$reps"); do
  base+=("$(measure "Minimal dialog" minimal-dialog.exe)")
  prog+=("$(measure "$caption" installer.exe)")
done

b=$(printf '%s\n' "${base[@]}" | median)
p=$(printf '%s\n' "${prog[@]}" | median)
echo "minimal dialog: median ${b} ms over $reps runs (${base[*]})"
echo "installer.exe:  median ${p} ms over $reps runs (${prog[*]})"
LC_ALL=C awk -v p="$p" -v b="$b" 'BEGIN {printf "ratio installer / minimal: %.2f\n", p / b}'
echo "installer.exe size: $(stat -c %s "$win32/src/app/installer.exe") bytes;" \
  "minimal-dialog.exe: $(stat -c %s "$win32/tests/programs/minimal-dialog/minimal-dialog.exe") bytes"
