#!/usr/bin/env bash
# Start-up time under Wine: from process creation to the visible dialog, for installer.exe on
# the sample medium against the minimal dialog program built the same way, alternating in the
# same run. Prints each program's median and the ratio, and the size of installer.exe.
#
#   bench-startup.sh [REPETITIONS]     (default 15; one warm-up run each is not counted)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
reps=${1:-15}
native=${NATIVE_BUILD:-$root/build/native}
win32=${WIN32_BUILD:-$root/build/win32}

cmake --preset native -B "$native" >/dev/null
cmake --build "$native" -j2 --target catalog-tool >/dev/null
cmake --preset win32 -B "$win32" >/dev/null
cmake --build "$win32" -j2 --target installer reference-setup minimal-dialog startup-timer >/dev/null
medium="$win32/bench-medium"
WIN32_BUILD="$win32" NATIVE_BUILD="$native" bash scripts/sample-medium.sh "$medium" >/dev/null
cp -f "$win32/tools/minimal-dialog/minimal-dialog.exe" "$medium/"

caption="Добро пожаловать"

scripts/wine-fixture.sh start "$win32" >/dev/null
trap 'scripts/wine-fixture.sh stop "$win32" >/dev/null' EXIT
# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh "$win32"
timer=$(env "${wine_locale_env[@]}" winepath -w "$win32/tools/startup-timer/startup-timer.exe")
dir=$(env "${wine_locale_env[@]}" winepath -w "$medium")

measure() {  # CAPTION PROGRAM -> milliseconds
  env "${wine_locale_env[@]}" wine "$timer" --cwd "$dir" "$1" "$dir\\$2" 2>/dev/null | awk '/^visible/ {print $2}'
}

measure "Minimal dialog" minimal-dialog.exe >/dev/null
measure "$caption" installer.exe >/dev/null
base=()
prog=()
for _ in $(seq 1 "$reps"); do
  base+=("$(measure "Minimal dialog" minimal-dialog.exe)")
  prog+=("$(measure "$caption" installer.exe)")
done

median() { printf '%s\n' "$@" | LC_ALL=C sort -n | LC_ALL=C awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }
b=$(median "${base[@]}")
p=$(median "${prog[@]}")
echo "minimal dialog: median ${b} ms over $reps runs (${base[*]})"
echo "installer.exe:  median ${p} ms over $reps runs (${prog[*]})"
LC_ALL=C awk -v p="$p" -v b="$b" 'BEGIN {printf "ratio installer / minimal: %.2f\n", p / b}'
echo "installer.exe size: $(stat -c %s "$win32/src/app/installer.exe") bytes;" \
  "minimal-dialog.exe: $(stat -c %s "$win32/tools/minimal-dialog/minimal-dialog.exe") bytes"
