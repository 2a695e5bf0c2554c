#!/usr/bin/env bash
# Hand-off timing under Wine with the reference set-up program: from the click on Next until the
# dialog is hidden (the launched program signals and takes part), until the launched program has
# the number (its kit's callback), and until the installer has ended (the launched program does
# not signal), against baselines measured in the same run: the reference program's own start-up
# time (process creation until it first waits for input) and the installer's own end (Cancel
# until the process has ended). Prints the medians and the ratios.
#
# With "console" the set-up program is the reference program's console build, which has no
# message loop: its start-up is from process creation until its kit has signalled "Setup Started".
# WINDOWS_PRESET=win64 runs it on the 64-bit build (default win32).
#
#   bench-handoff.sh [REPETITIONS] [console]   (default 10; one warm-up run is not counted)
set -euo pipefail
# shellcheck source=scripts/bench-common.sh
. "$(dirname "$0")/bench-common.sh"
reps=${1:-10}
program=reference-setup-steered
until=idle
if [ "${2:-}" = console ]; then
  program=reference-setup-console
  until="its signal"
fi

bench_build installer "$program" handoff-timer
bench_start_wine

medium="$win32/bench-handoff"
rm -rf "$medium"
mkdir -p "$medium/English"
cp "$win32/src/app/installer.exe" "$medium/"
cp "$win32/tests/programs/reference-setup/$program.exe" "$medium/English/setup.exe"
setup=$(bench_winepath "$medium/English/setup.exe")
printf '[Артикулы]\nE5678 S "%s"\n' "$setup" >"$medium/catalog.txt"
"$native/tools/catalog-tool/catalog-tool" pack "$medium/catalog.txt" -o "$medium/install.crt" --force

timer=$(bench_winepath "$win32/tests/programs/handoff-timer/handoff-timer.exe")
lines=$(bench_wine "$timer" "$(bench_winepath "$medium")" E5678 "$setup" $((reps + 1)) ${2:-} 2>/dev/null | tail -n "$reps")

column() { printf '%s\n' "$lines" | awk -v k="$1" '{for (i = 1; i < NF; i++) if ($i == k) print $(i+1)}'; }
b=$(column baseline | median)
h=$(column handoff | median)
m=$(column number | median)
n=$(column nosignal | median)
c=$(column cancel | median)
echo "$program start until $until: median ${b} ms ($(column baseline | tr '\n' ' '))"
echo "Cancel until the end:              median ${c} ms ($(column cancel | tr '\n' ' '))"
echo "Next until hidden (hand-off):      median ${h} ms ($(column handoff | tr '\n' ' '))"
echo "Next until the program has number: median ${m} ms ($(column number | tr '\n' ' '))"
echo "Next until the end (no signal):    median ${n} ms ($(column nosignal | tr '\n' ' '))"
LC_ALL=C awk -v b="$b" -v c="$c" -v h="$h" -v m="$m" -v n="$n" 'BEGIN {
  printf "hand-off / start-up baseline: %.2f\n", h / b
  printf "number in the set-up program / start-up baseline: %.2f\n", m / b
  printf "no signal / (start-up baseline + Cancel until the end): %.2f\n", n / (b + c) }'
