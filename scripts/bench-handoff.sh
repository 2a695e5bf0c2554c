#!/usr/bin/env bash
# Hand-off timing under Wine with the reference set-up program: from the click on Next until the
# dialog is hidden (the launched program signals and takes part), and until the installer has
# ended (the launched program does not signal), against baselines measured in the same run: the
# reference program's own start-up time (process creation until it first waits for input) and
# the installer's own end (Cancel until the process has ended). Prints the medians and the ratios.
#
#   bench-handoff.sh [REPETITIONS]     (default 10; one warm-up run is not counted)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
reps=${1:-10}
native=${NATIVE_BUILD:-$root/build/native}
win32=${WIN32_BUILD:-$root/build/win32}

cmake --preset native -B "$native" >/dev/null
cmake --build "$native" -j2 --target catalog-tool >/dev/null
cmake --preset win32 -B "$win32" >/dev/null
cmake --build "$win32" -j2 --target installer reference-setup handoff-timer >/dev/null

scripts/wine-fixture.sh start "$win32" >/dev/null
trap 'scripts/wine-fixture.sh stop "$win32" >/dev/null' EXIT
# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh "$win32"

medium="$win32/bench-handoff"
rm -rf "$medium"
mkdir -p "$medium/English"
cp "$win32/src/app/installer.exe" "$medium/"
cp "$win32/tools/reference-setup/reference-setup.exe" "$medium/English/setup.exe"
setup=$(winepath -w "$medium/English/setup.exe")
printf '[Артикулы]\nE5678 S "%s"\n' "$setup" >"$medium/catalog.txt"
"$native/tools/catalog-tool/catalog-tool" pack "$medium/catalog.txt" -o "$medium/install.crt" --force

timer=$(winepath -w "$win32/tools/handoff-timer/handoff-timer.exe")
lines=$(wine "$timer" "$(winepath -w "$medium")" E5678 "$setup" $((reps + 1)) 2>/dev/null | tail -n "$reps")

median() { LC_ALL=C sort -n | LC_ALL=C awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }
column() { printf '%s\n' "$lines" | awk -v k="$1" '{for (i = 1; i < NF; i++) if ($i == k) print $(i+1)}'; }
b=$(column baseline | median)
h=$(column handoff | median)
n=$(column nosignal | median)
c=$(column cancel | median)
echo "reference set-up start until idle: median ${b} ms ($(column baseline | tr '\n' ' '))"
echo "Cancel until the end:              median ${c} ms ($(column cancel | tr '\n' ' '))"
echo "Next until hidden (hand-off):      median ${h} ms ($(column handoff | tr '\n' ' '))"
echo "Next until the end (no signal):    median ${n} ms ($(column nosignal | tr '\n' ' '))"
LC_ALL=C awk -v b="$b" -v c="$c" -v h="$h" -v n="$n" 'BEGIN {
  printf "hand-off / start-up baseline: %.2f\n", h / b
  printf "no signal / (start-up baseline + Cancel until the end): %.2f\n", n / (b + c) }'
