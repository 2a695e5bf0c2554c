#!/usr/bin/env bash
# The image make-medium builds against plain xorriso on the same set-up programs' folder,
# alternating in the same run: 15 set-up programs with 2,000 small files and one large payload
# (sparse files of PAYLOAD_MIB MiB, default 2048), and with FLAT_FILES=N (default 0) a folder
# of N more small files side by side. Prints each one's median and the ratio.
#
#   bench-medium.sh [REPETITIONS]     (default 3; one warm-up run each is not counted)
set -euo pipefail
# shellcheck source=scripts/bench-common.sh
. "$(dirname "$0")/bench-common.sh"
reps=${1:-3}
payload_mib=${PAYLOAD_MIB:-2048}
flat_files=${FLAT_FILES:-0}

cmake --preset native -B "$native" >/dev/null
cmake --build "$native" -j2 --target catalog-tool >/dev/null
tool="$native/tools/catalog-tool/catalog-tool"
work=$(mktemp -d "${TMPDIR:-/tmp}/bench-medium.XXXXXX")
trap 'rm -rf "$work"' EXIT

setups="$work/setups"
catalog="$work/catalog.txt"
printf '[Артикулы]\n' >"$catalog"
for i in $(seq -w 1 15); do
  mkdir -p "$setups/Program$i/data"
  printf 'MZ set-up %s' "$i" >"$setups/Program$i/setup.exe"
  for j in $(seq 1 133); do printf 'file %s %s\n' "$i" "$j" >"$setups/Program$i/data/f$j.txt"; done
  printf 'A%s S "%%:\\Program%s\\setup.exe"\n' "$i" "$i" >>"$catalog"
done
if [ "$flat_files" -gt 0 ]; then
  mkdir -p "$setups/Flat"
  (cd "$setups/Flat" && seq -f 'file%06g.txt' 1 "$flat_files" | xargs touch)
fi
# The payload: data that is really read, not holes.
head -c $((payload_mib * 1024 * 1024)) /dev/urandom >"$setups/Program01/payload.cab"
printf 'MZ installer' >"$work/installer.exe"

plain() {
  rm -f "$work/plain.iso"
  xorriso -as mkisofs -quiet -iso-level 3 -J -joliet-long -R -o "$work/plain.iso" "$setups" \
    2>/dev/null
}
tool_image() {
  rm -f "$work/medium.iso"
  "$tool" make-medium "$catalog" "$setups" --label BENCH --installer "$work/installer.exe" \
    --image "$work/medium.iso" >/dev/null 2>&1
}
seconds() {  # COMMAND -> seconds it took
  local start end
  start=$(date +%s.%N)
  "$@"
  end=$(date +%s.%N)
  LC_ALL=C awk -v s="$start" -v e="$end" 'BEGIN {printf "%.3f\n", e - s}'
}

plain
tool_image
base=()
tool_times=()
for _ in $(seq 1 "$reps"); do
  base+=("$(seconds plain)")
  tool_times+=("$(seconds tool_image)")
done
base_median=$(printf '%s\n' "${base[@]}" | median)
tool_median=$(printf '%s\n' "${tool_times[@]}" | median)
echo "payload: $(du -sb "$setups" | cut -f1) bytes in $(find "$setups" -type f | wc -l) files"
echo "plain xorriso:        ${base_median} s (median of $reps)"
echo "make-medium --image:  ${tool_median} s (median of $reps)"
LC_ALL=C awk -v t="$tool_median" -v b="$base_median" 'BEGIN {printf "ratio: %.2f (target at most 1.3)\n", t / b}'
