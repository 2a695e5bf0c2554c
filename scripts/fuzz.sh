#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz, clang) and runs the catalogue loader fuzzer for
# $FUZZ_SECONDS seconds (default 600) on the corpus in $FUZZ_BUILD/corpus, seeded with a few
# valid catalogues. Findings (crash-*, leak-*, timeout-*) land in $FUZZ_BUILD/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_SECONDS=${FUZZ_SECONDS:-600}
FUZZ_BUILD=${FUZZ_BUILD:-build/fuzz}

cmake --preset fuzz -B "$FUZZ_BUILD" >/dev/null
cmake --build "$FUZZ_BUILD" -j2 --target catalog_fuzz

corpus="$FUZZ_BUILD/corpus"
findings="$FUZZ_BUILD/findings"
mkdir -p "$corpus" "$findings"
if [ -z "$(ls -A "$corpus")" ]; then
  # First byte odd: a plain record stream that the target scrambles. One section "Артикулы"
  # (cp1251) with an S, an I, a B and an H entry.
  printf '\x01\x02\x01\x00\x00\x00\x01\x08\x00\x00\x00\xC0\xF0\xF2\xE8\xEA\xF3\xEB\xFB\x02\x04\x00\x00\x00%b%b%b%b' \
    '\x01\x05\x00\x00\x00R1234\x02\x53\x00\x00\x00\x01\x14\x00\x00\x00%:\\Russian\\setup.exe' \
    '\x01\x05\x00\x00\x00E5678\x02\x49\x00\x00\x00\x02\x2A\x00\x00\x00' \
    '\x01\x01\x00\x00\x00K\x02\x42\x00\x00\x00\x03\x01\x00\x00\x00' \
    '\x01\x01\x00\x00\x00H\x02\x48\x00\x00\x00\x04\x03\x00\x00\x00\xAA\xBB\xCC' \
    >"$corpus/seed-stream"
  # First byte odd: a stream that begins with an entry, as whole entries are taken.
  printf '\x01\x01\x05\x00\x00\x00R1234\x02\x53\x00\x00\x00\x01\x03\x00\x00\x00a\x00b' \
    >"$corpus/seed-entry"
  # First byte even: a whole file, here the empty catalogue (header and prefix 1A 00 00 00).
  printf '\x00\x1A\x1A\x35\x5E\xB5\xCA\x62\x77\x00\x00\x00\x00\x00\x00\x00\x00\x1A\x00\x00\x00' \
    >"$corpus/seed-file"
fi

"$FUZZ_BUILD/fuzz/catalog_fuzz" "$corpus" -max_total_time="$FUZZ_SECONDS" \
  -artifact_prefix="$findings/" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 2>&1 | tail -n 40
